#!/usr/bin/env bash
# Drives the real player's window with pointer clicks on a private virtual display at 96 DPI
# and checks what each click does: through the media-player interface on a private session bus
# (play, pause, stop, next, previous, seeking, which track plays), through the favourites'
# file at once, and through Settings.ini and the list's file once the window is closed.
#   window_clicks_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)

if [ -z "${VANTOR_CLICKS_TEST_INNER:-}" ]; then
  for tool in dbus-run-session gdbus xvfb-run xdotool xwininfo ffmpeg; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup-deps installs it)"; exit 1; }
  done
  export VANTOR_CLICKS_TEST_INNER=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24 -dpi 96 -noreset" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A private runtime folder for the instance socket, and a portable copy that keeps its files
# beside the executable.
export XDG_RUNTIME_DIR=$work/run
mkdir -m 0700 "$XDG_RUNTIME_DIR"
cp "$bin/vantor" "$work/"
cp -r "$bin/Theme" "$bin/Languages" "$work/"
settings=$work/Settings.ini
list_file=$work/Playlists/Default.vlbr
favourites=$work/Playlists/Favorite.vlbr
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
# Every click here is meant on its own: two quick clicks on one spot would otherwise make a
# double click, which the views take apart from presses.
export SDL_MOUSE_DOUBLE_CLICK_TIME=0
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

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

alive() { local state; state=$(ps -o stat= -p "$1" 2>/dev/null) && [ "${state#Z}" = "$state" ]; }

# window_id: the player's window (by class and title, as the start-up test finds it), waited
# for while the player runs.
window_id() {
  local w
  for _ in $(seq 1 300); do
    for w in $(xdotool search --classname '^vantor$' 2>/dev/null); do
      if xwininfo -id "$w" 2>/dev/null | grep -q '^xwininfo: Window id: 0x[0-9a-f]* "Vantor"$'; then
        echo "$w"; return 0
      fi
    done
    alive "$pid" || return 1
    sleep 0.1
  done
  return 1
}

# start [FILE...]: runs the player and finds its window; a display that refused the first
# connection gets two more tries.
start() {
  for attempt in 1 2 3; do
    "$work/vantor" "$@" >"$work/log" 2>&1 &
    pid=$!
    win=$(window_id) && return 0
    if [ "$attempt" -lt 3 ] && ! alive "$pid" && grep -q "x11 not available" "$work/log"; then
      wait "$pid" || true
      sleep 1
      continue
    fi
    echo "FAIL: no window appeared"; cat "$work/log"; exit 1
  done
}

# ---- Where to click ---------------------------------------------------------------------------
# At 96 DPI with automatic scaling the player draws 96 / 240 = 2/5 pixel per logical unit:
# the window of 1092 x 630 pixels is W x H = 2730 x 1575 units. A unit L is at pixel
# round(2 L / 5) (never a tie); a pixel P reads as unit round(5 P / 2), ties to even. Every
# target below lies inside its area, away from the window's 10-pixel resize band.
px() { echo $(((4 * $1 + 5) / 10)); }
unit() {
  local half=$((5 * $1))
  if ((half % 2 == 0)); then echo $((half / 2)); else
    local down=$(((half - 1) / 2))
    echo $((down % 2 == 0 ? down : down + 1))
  fi
}
W=$(unit 1092)
H=$(unit 630)

# The bottom bar is the last 108 units; its transport buttons, position bar and volume bar sit
# 18 units below its top, 72 high, left to right with their gaps: play 20 + 220 (the left 64
# units of it are the stop area), previous +25 113, next +25 113, position bar +45 (wide
# enough to leave 960 units on its right), volume +45 395, shuffle +45 105, repeat +25 105,
# equalizer +25 105.
bar_y=$((H - 108 + 18 + 36))
stop_x=$((20 + 32))
play_x=$((20 + 64 + (220 - 64) / 2))
prev_left=$((20 + 220 + 25))
prev_x=$((prev_left + 113 / 2))
next_left=$((prev_left + 113 + 25))
next_x=$((next_left + 113 / 2))
progress_left=$((next_left + 113 + 45))
progress_width=$((W - progress_left - 960))
volume_left=$((progress_left + progress_width + 45))
volume_width=395
shuffle_x=$((volume_left + volume_width + 45 + 52))
repeat_x=$((shuffle_x + 105 + 25))
eq_x=$((repeat_x + 105 + 25))
# The top bar (250 high) has its window buttons of 46 x 46 at 20 units from the top, the close
# button 20 from the right edge; its track board from 650 shows the favourite mark, 47 x 47,
# at (281, 190) of the board.
close_x=$((W - 20 - 23))
close_y=$((20 + 23))
board_favourite_x=$((650 + 281 + 23))
board_favourite_y=$((190 + 23))
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

# click BUTTON X Y [KEY]: a click of that pointer button at window units X, Y, KEY held down.
click() {
  local press=(click "$1")
  [ -z "${4:-}" ] || press=(keydown "$4" click "$1" keyup "$4")
  xdotool mousemove --window "$win" "$(px "$2")" "$(px "$3")" "${press[@]}"
}
# wheel_down X Y COUNT: turns the wheel towards the end of the list.
wheel_down() {
  xdotool mousemove --window "$win" "$(px "$1")" "$(px "$2")" click --repeat "$3" --delay 50 5
}

# ---- What the player says -------------------------------------------------------------------
mpris() {
  gdbus call --session --dest org.mpris.MediaPlayer2.vantor --object-path /org/mpris/MediaPlayer2 "$@" 2>/dev/null
}
property() { mpris --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "$1"; }
status() { property PlaybackStatus | grep -o "'[A-Za-z]*'" | tr -d "'"; }
title() { property Metadata | grep -o "'xesam:title': <'[^']*'>" | sed "s/.*<'\(.*\)'>/\1/"; }
# The position in whole seconds.
position() { property Position | grep -o '[0-9]*' | tail -n 1 | awk '{ printf "%d", $1 / 1000000 }'; }
# wait_for QUERY EXPECTED WHAT: asks QUERY until it answers EXPECTED, for up to 20 seconds
# (the checks run on busy machines too).
wait_for() {
  local answer=
  for _ in $(seq 1 200); do
    answer=$($1) && [ "$answer" = "$2" ] && return 0
    sleep 0.1
  done
  fail "$3: $1 is '$answer', expected '$2'"
}
# A key of a file's first section.
key_of() { sed -n '/^\[#Settings\]/,/^\[/p' "$1" 2>/dev/null | sed -n "s/^$2=//p" | tr -d '\r' | head -n 1; }
listed() { sed -n 's/^FilePath=//p' "$1" 2>/dev/null | tr -d '\r'; }

# close: a click on the window's close button; the player ends with status 0. Should the
# button fail, the player is told to end all the same, so that the files are checked.
close() {
  click 1 "$close_x" "$close_y"
  local status=0
  for _ in $(seq 1 200); do alive "$pid" || break; sleep 0.1; done
  if alive "$pid"; then
    fail "the close button did not end the player"
    kill -TERM "$pid"
  fi
  wait "$pid" || status=$?
  pid=
  [ "$status" -eq 0 ] || fail "exit status $status after the close button"
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
