#!/usr/bin/env bash
# Edits a track's tags and lyrics through the real window on a private virtual display: the
# tag editor opened from a row's action area, a value typed over after a double click and
# saved, a field removed with its bin icon; the lyrics page given text from the clipboard and
# saved. An outside reader (ffprobe) sees each change in the file at once, the audio frames
# stay byte for byte the same, and the list's file marks the track as having lyrics.
#   tag_edit_clicks_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
source "$(dirname "$0")/window_test_lib.sh"
command -v xclip >/dev/null || { echo "FAIL: xclip is missing (scripts/setup-deps installs it)"; exit 1; }
# The value fields take a double click here: two clicks within half a second make one.
export SDL_MOUSE_DOUBLE_CLICK_TIME=500

# Two tracks by one artist (one group, two rows); the second is edited. Its fields are in
# this order in the file: title, comment, artist.
mkdir "$work/music"
for n in 1 2; do
  ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=60:sample_rate=8000" \
    -fflags +bitexact -flags:a +bitexact -metadata "title=Old Title $n" -metadata "comment=to go" \
    -metadata "artist=Someone" "$work/music/song-$n.flac"
done
song=$work/music/song-2.flac
tag() { ffprobe -v error -show_entries "format_tags=$1" -of default=noprint_wrappers=1:nokey=1 "$song"; }
# The audio frames as stored (not decoded): any byte of them that moved changes the sum.
frames() { ffmpeg -nostdin -loglevel error -i "$song" -map 0:a -c:a copy -f md5 - 2>/dev/null; }
audio=$(frames)
[ -n "$audio" ] || { echo "FAIL: no audio frames read from the fixture"; exit 1; }
[ "$(ffprobe -v error -show_entries format_tags -of compact=p=0:nk=0 "$song")" = \
  "tag:title=Old Title 2|tag:comment=to go|tag:artist=Someone" ] || { echo "FAIL: fixture tags"; exit 1; }

# The side menu's tabs are at the window's right, 100 x 100 and 115 apart from the top bar
# (250) down: lyrics the fourth, the tag editor the fifth. A page is the 750 units left of the
# tab column, its actions bar the last 100 units above the 108-unit bottom bar, buttons 80
# wide from 10 every 90 on the left, the last right-aligned one at 660.
page_left=$((W - 850))
page_top=250
tab_x=$((W - 50))
lyrics_tab_y=$((page_top + 115 * 3 + 50))
tags_tab_y=$((page_top + 115 * 4 + 50))
actions_y=$((H - 108 - 50))
save_x=$((page_left + 660 + 40))
paste_x=$((page_left + 10 + 90 * 2 + 40))
# The editor's lines start 440 units down the page, 10 from its left, 140 high every 150: the
# field's name bar is the top 70 (its icon, 46 x 46, at (5, 12)), the value below it.
line_top() { echo $((page_top + 440 + 150 * $1)); }
value_x=$((page_left + 10 + 200))
icon_x=$((page_left + 10 + 5 + 23))
# The list's rows: one group from 60 below the list's top (350), row k 110 k further down,
# 100 high; their left 96 units from 370 are the action area.
row_y() { echo $((350 + 60 + 110 * $1 + 50)); }
action_x=$((370 + 48))

start "$work/music/song-1.flac" "$song"
wait_for status Playing "a start with files"
# The tag editor's tab, then the second row's action area: the editor shows that track.
click 1 "$tab_x" "$tags_tab_y"
sleep 0.5
click 1 "$action_x" "$(row_y 1)"
sleep 0.5
# The title's value: a double click in it, all of it selected and typed over; then Save.
xdotool mousemove --window "$win" "$(px "$value_x")" "$(px $(($(line_top 0) + 105)))" click --repeat 2 --delay 80 1
xdotool key --window "$win" ctrl+a
xdotool type --window "$win" --delay 20 "New Title"
sleep 0.6
click 1 "$save_x" "$actions_y"
answer=
for _ in $(seq 1 100); do answer=$(tag title) && [ "$answer" = "New Title" ] && break; sleep 0.1; done
[ "$answer" = "New Title" ] || fail "the file's title after Save is '$answer', expected 'New Title'"
[ "$(tag artist)" = Someone ] || fail "the artist changed with the title: '$(tag artist)'"
[ "$(frames)" = "$audio" ] || fail "the audio frames changed when the title was saved"
[ "$(ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$work/music/song-1.flac")" = "Old Title 1" ] ||
  fail "the first track's title changed too"

# The comment's bin icon removes its line; Save removes the field.
click 1 "$icon_x" "$(($(line_top 1) + 35))"
sleep 0.3
click 1 "$save_x" "$actions_y"
for _ in $(seq 1 100); do [ -z "$(tag comment)" ] && break; sleep 0.1; done
[ -z "$(tag comment)" ] || fail "the comment is still in the file after its bin icon and Save: '$(tag comment)'"
[ "$(tag title)" = "New Title" ] || fail "the title after removing the comment: '$(tag title)'"
[ "$(frames)" = "$audio" ] || fail "the audio frames changed when the comment was removed"

# Lyrics: the lyrics page's tab, the second row's action area (in lyrics mode it shows that
# track's lyrics), Paste from the clipboard, Save.
lyrics="Over the hills
and far away"
printf "%s" "$lyrics" | xclip -selection clipboard 2>/dev/null
click 1 "$tab_x" "$lyrics_tab_y"
sleep 0.5
click 1 "$action_x" "$(row_y 1)"
sleep 0.5
click 1 "$paste_x" "$actions_y"
sleep 0.3
click 1 "$save_x" "$actions_y"
answer=
for _ in $(seq 1 100); do answer=$(tag lyrics) && [ -n "$answer" ] && break; sleep 0.1; done
[ "$answer" = "$lyrics" ] || fail "the file's lyrics after Paste and Save: '$answer'"
[ "$(frames)" = "$audio" ] || fail "the audio frames changed when the lyrics were saved"
# The track's section of the list's file, found by its path.
section_of() { awk -v p="FilePath=$2" '/^\[/ { if (found) exit; lines = "" } { lines = lines $0 "\n" } $0 == p { found = 1 } END { if (found) printf "%s", lines }' "$1"; }
has_lyrics() { section_of "$list_file" "$song" | tr -d '\r' | sed -n 's/^HasLyrics=//p'; }
for _ in $(seq 1 100); do [ "$(has_lyrics)" = 1 ] && break; sleep 0.1; done
[ "$(has_lyrics)" = 1 ] || fail "HasLyrics=$(has_lyrics) in the list's section of the track after saving lyrics"
close

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; cat "$work/log"; exit 1
fi
echo "tag edit checks passed"
