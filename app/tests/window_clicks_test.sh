#!/usr/bin/env bash
# Drives the real player's window with pointer clicks on a private virtual display at 96 DPI
# and checks what each click does: through the media-player interface on a private session bus
# (play, pause, stop, next, previous, seeking, which track plays), through the favourites'
# file at once, and through Settings.ini and the list's file once the window is closed.
#   window_clicks_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
source "$(dirname "$0")/window_test_lib.sh"

# Twelve tracks of two minutes, four by each of three artists, one album each: grouped by
# artist (a new list's grouping) the list shows three groups of four rows, sorted by title,
# which is taller than the window. One ffmpeg writes them all.
mkdir "$work/music"
ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=120:sample_rate=8000" "$work/base.flac"
files=()
outputs=()
for artist in Alpha Beta Gamma; do
  for n in 1 2 3 4; do
    files+=("$work/music/$artist-$n.flac")
    outputs+=(-map 0 -c copy -metadata "title=$artist $n" -metadata "artist=$artist Band"
      -metadata "album=$artist Album" -metadata "track=$n" "$work/music/$artist-$n.flac")
  done
done
ffmpeg -nostdin -loglevel error -i "$work/base.flac" "${outputs[@]}"

# The group bar (100 high under the 250-unit top bar) holds buttons of 250 x 90 every 260
# units from 12: track name, artist, album, ...
album_x=$((12 + 260 * 2 + 125))
groups_y=$((250 + 50))
# The list fills the panel from 350 units down to the bottom bar, less the menu's 100-unit tab
# column on the right: 2630 units wide. A group of n rows is n x 110 - 10 high, the first at
# 60, the next 50 below the one before; row k of a group is at its top + 110 k, 100 high, from
# 370 to the list's width - 70 (the scroll bar and its gap). A row's left and right 96 units
# are its action and favourite areas.
list_top=350
list_width=$((W - 100))
row_left=370
row_right=$((list_width - 70))
queue_x=$((row_left + 48))
favourite_x=$((row_right - 48))
body_x=$(((row_left + row_right) / 2))
group_rows=(4 4 4)
# row_y GROUP ROW [SCROLL]: the window unit at the middle of that row.
row_y() {
  local top=60 g
  for ((g = 0; g < $1; g++)); do top=$((top + group_rows[g] * 110 - 10 + 50)); done
  echo $((list_top + top - ${3:-0} + 110 * $2 + 50))
}


# ---- Twelve tracks on the command line ------------------------------------------------------
start "${files[@]}"
wait_for status Playing "a start with files"
wait_for title "Alpha 1" "the first row plays after a start with files"
[ "$failures" -eq 0 ] || { cat "$work/log"; exit 1; }

# The play button: right of the stop area it pauses and plays.
click 1 "$play_x" "$bar_y"
wait_for status Paused "a click on the play button while playing"
click 1 "$play_x" "$bar_y"
wait_for status Playing "a click on the play button while paused"

# The position bar: a press at unit x of the bar seeks to (x - 30) / (width - 60) of the
# track (120 s); here about three quarters.
x=$((progress_left + 30 + (progress_width - 60) * 3 / 4))
seen=$(($(unit "$(px "$x")") - progress_left))
expected=$(awk -v x="$seen" -v w="$progress_width" 'BEGIN { printf "%d", 120 * (x - 30) / (w - 60) }')
click 1 "$x" "$bar_y"
for _ in $(seq 1 100); do
  p=$(position) && [ "$p" -ge $((expected - 1)) ] && break
  sleep 0.1
done
p=$(position)
[ "$p" -ge $((expected - 1)) ] && [ "$p" -le $((expected + 5)) ] ||
  fail "position ${p}s after a click on the position bar, expected ${expected}s"
# While paused a press on the bar does not seek: after playing on, the position is where it
# was.
click 1 "$play_x" "$bar_y"
wait_for status Paused "a click on the play button while playing"
before=$(position)
click 1 "$((progress_left + 100))" "$bar_y"
click 1 "$play_x" "$bar_y"
wait_for status Playing "a click on the play button while paused"
p=$(position)
[ "$p" -ge "$before" ] && [ "$p" -le $((before + 2)) ] ||
  fail "position ${p}s after a click on the position bar while paused at ${before}s"

# Next follows the list's order, previous goes back through the tracks next started (the
# first track, started by the load, is not among them).
click 1 "$next_x" "$bar_y"
wait_for title "Alpha 2" "the next button on the first row"
click 1 "$next_x" "$bar_y"
wait_for title "Alpha 3" "the next button on the second row"
click 1 "$prev_x" "$bar_y"
wait_for title "Alpha 2" "the previous button after two nexts"
# A right click on next starts the next track at 30 % of its length.
click 3 "$next_x" "$bar_y"
wait_for title "Alpha 3" "a right click on the next button"
p=$(position)
[ "$p" -ge 35 ] && [ "$p" -le 41 ] || fail "position ${p}s after a right click on the next button, expected 36s"

# A left click on a row's body plays its track.
click 1 "$body_x" "$(row_y 1 1)"
wait_for title "Beta 2" "a click on the second row of the second group"
wait_for status Playing "a click on a row"
# A left click on a row's action area queues its track: next plays it rather than the row
# after the playing one.
click 1 "$queue_x" "$(row_y 0 3)"
click 1 "$next_x" "$bar_y"
wait_for title "Alpha 4" "the next button after queueing the fourth row"

# A right click on a row's favourite area makes its track a favourite: the favourites' file
# holds it at once.
click 3 "$favourite_x" "$(row_y 2 0)"
for _ in $(seq 1 100); do listed "$favourites" | grep -qx "$work/music/Gamma-1.flac" && break; sleep 0.1; done
listed "$favourites" | grep -qx "$work/music/Gamma-1.flac" ||
  fail "the favourites' file does not hold the track after a right click on its favourite area: $(listed "$favourites")"
# So does the top bar's favourite mark, for the playing track.
click 1 "$board_favourite_x" "$board_favourite_y"
for _ in $(seq 1 100); do listed "$favourites" | grep -qx "$work/music/Alpha-4.flac" && break; sleep 0.1; done
listed "$favourites" | grep -qx "$work/music/Alpha-4.flac" ||
  fail "the favourites' file does not hold the playing track after a click on the top bar's favourite mark: $(listed "$favourites")"

# The stop area.
click 1 "$stop_x" "$bar_y"
wait_for status Stopped "a click on the stop area"

# The volume bar: a left press at unit x sets round(100 (x - 30) / (width - 60)) per cent, a
# middle press mutes. Both show in Settings.ini after closing.
x=$((volume_left + 30 + (volume_width - 60) / 4))
seen=$(($(unit "$(px "$x")") - volume_left))
volume=$(awk -v x="$seen" -v w="$volume_width" 'BEGIN { printf "%.0f", 100 * (x - 30) / (w - 60) }')
click 1 "$x" "$bar_y"
click 2 "$x" "$bar_y"
# Shuffle, repeat and the equalizer switch on.
click 1 "$shuffle_x" "$bar_y"
click 1 "$repeat_x" "$bar_y"
click 1 "$eq_x" "$bar_y"

# The scroll bar (60 units wide, 5 from the list's right edge, the list's full height) picks a
# track by where it is pressed: round(tracks x (y - 50) / (height - 100)) with y clamped to
# [50, height - 50]; its row comes to the top margin. A press a sixth of the way down picks
# the third row, which a click at the first row's place then plays.
list_height=$((H - list_top - 108))
click 1 "$((list_width - 5 - 30))" "$((list_top + 50 + (list_height - 100) * 2 / 12))"
click 1 "$body_x" "$(row_y 0 0)"
wait_for title "Alpha 3" "a click on the first row's place after a click on the scroll bar"

# A group button regroups the list: by album the groups and rows stay where they were, and
# the list is back at its top.
click 1 "$album_x" "$groups_y"

# Ctrl + a left click on a row's action area takes the row out of the list; its file stays.
click 1 "$queue_x" "$(row_y 0 1)" ctrl
group_rows=(3 4 4)
# The pointer within 80 units of the list's left edge (past the window's 10-pixel resize band,
# which the window manager keeps) brings the letters (A, B, G by album),
# 80 x 80 each from (10, 18), 5 apart. "B" brings Beta's first row to the top margin as far as
# the list scrolls (its end, 283 units, short of Beta's 430 - 60); a click there plays it.
# "A" then takes the list back to its top.
letters_y=$((list_top + 18 + 40))
xdotool mousemove --window "$win" "$(px 50)" "$(px $((list_top + 500)))"
click 1 $((10 + 85 + 40)) "$letters_y"
click 1 "$body_x" "$(row_y 1 0 283)"
wait_for title "Beta 1" "a click on Beta's first row after its letter"
xdotool mousemove --window "$win" "$(px 50)" "$(px $((list_top + 500)))"
click 1 $((10 + 40)) "$letters_y"

# The wheel over the rows scrolls one row a turn, the row coming to the top margin: two turns
# bring the third row (Alpha 4 now) to the top, a scroll of 2 x 110 units.
wheel_down "$body_x" "$(row_y 0 0)" 2
close

[ -s "$settings" ] || fail "no Settings.ini after closing the window"
awk -v v="$(key_of "$settings" Volume)" -v e="$volume" 'BEGIN { exit !(v != "" && sprintf("%.0f", v * 100) == e) }' ||
  fail "Volume=$(key_of "$settings" Volume) after a click at ${volume}% of the volume bar"
[ "$(key_of "$settings" Mute)" = 1 ] || fail "Mute=$(key_of "$settings" Mute) after a middle click on the volume bar"
[ "$(key_of "$settings" Equalizer)" = 1 ] || fail "Equalizer=$(key_of "$settings" Equalizer) after a click on its button"
[ "$(key_of "$list_file" Shuffle)" = 1 ] || fail "Shuffle=$(key_of "$list_file" Shuffle) after a click on its button"
[ "$(key_of "$list_file" Repeat)" = 1 ] || fail "Repeat=$(key_of "$list_file" Repeat) after a click on its button"
[ "$(key_of "$list_file" Scroll)" = 220 ] || fail "Scroll=$(key_of "$list_file" Scroll) after two wheel turns"
# The album grouping is mode 2 in the file.
[ "$(key_of "$list_file" GroupMode)" = 2 ] || fail "GroupMode=$(key_of "$list_file" GroupMode) after a click on the album button"
listed "$list_file" | grep -qx "$work/music/Alpha-2.flac" && fail "the list still holds a row taken out with Ctrl + click"
[ "$(listed "$list_file" | wc -l)" -eq 11 ] || fail "the list holds $(listed "$list_file" | wc -l) tracks, expected 11"
[ -f "$work/music/Alpha-2.flac" ] || fail "Ctrl + click deleted the row's file"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; exit 1
fi
echo "window click checks passed"
