#!/usr/bin/env bash
# Drives the lyrics page of the real player on a private virtual display at 96 DPI: a playing
# track whose lyrics carry time stamps shows the line being sung in the accent colour near the
# middle of the page, keeps it there as the song plays on, and shows no highlight once the
# player stops.
#   lyrics_page_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
source "$(dirname "$0")/window_test_lib.sh"

# Two minutes and ten seconds, a line every two seconds from 0:02, with the tags that name the
# song.
lyrics=$'[ar:Tester]\n[ti:Tone song]\n'
for n in $(seq 1 60); do
  lyrics+="[$(printf '%02d:%02d.00' $((2 * n / 60)) $((2 * n % 60)))]Line number $n of the song"$'\n'
done
ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=130:sample_rate=8000" \
  -metadata title="Tone song" -metadata artist=Tester -metadata "lyrics=$lyrics" "$work/song.flac"

# The tab column (100 units on the right) holds tabs 100 high every 115 units below the top
# bar (250): playlists, queue, selection, lyrics, ... The page's text view runs from 10 below
# its caption bar (100) to 10 above its actions bar (100), above the bottom bar (108).
lyrics_tab_x=$((W - 50))
lyrics_tab_y=$((250 + 115 * 3 + 50))
view_top=$((250 + 100 + 10))
view_bottom=$((H - 108 - 100 - 10))
view_middle=$(((view_top + view_bottom) / 2))
view_left=$((W - 100 - 600))
view_right=$((W - 100 - 60))

start "$work/song.flac"
wait_for status Playing "a start with a file"
click 1 "$lyrics_tab_x" "$lyrics_tab_y"
# Halfway through the song, far from its first and last lines.
click 1 $((progress_left + 30 + (progress_width - 60) / 2)) "$bar_y"
for _ in $(seq 1 50); do p=$(position) && [ "$p" -ge 60 ] && break; sleep 0.1; done

# sung_near_middle WHAT: the accent rows of the view lie around its middle.
sung_near_middle() {
  local rows=
  for _ in $(seq 1 30); do
    rows=$(accent_rows "$view_left" "$view_top" "$view_right" "$view_bottom") && [ -n "$rows" ] && break
    sleep 0.2
  done
  [ -n "$rows" ] || { fail "$1: no line in the accent colour"; return; }
  set -- "$1" $rows
  local middle=$((($2 + $3) / 2))
  [ $((middle - view_middle)) -le 100 ] && [ $((view_middle - middle)) -le 100 ] ||
    fail "$1: the sung line's middle is at unit $middle, the view's at $view_middle"
}
sung_near_middle "halfway through"
sleep 5
sung_near_middle "five seconds on"

# Stopped, the track does not play: no line is highlighted.
click 1 "$stop_x" "$bar_y"
wait_for status Stopped "a click on the stop area"
rows=x
for _ in $(seq 1 30); do
  rows=$(accent_rows "$view_left" "$view_top" "$view_right" "$view_bottom") && [ -z "$rows" ] && break
  sleep 0.2
done
[ -z "$rows" ] || fail "a stopped track's lyrics still show a highlighted line (rows $rows)"

close
[ "$failures" -eq 0 ] || { cat "$work/log"; exit 1; }
echo "lyrics page: all checks passed"
