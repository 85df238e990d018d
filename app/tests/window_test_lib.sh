# Shared by the tests that drive the real player's window: a private virtual display at 96
# DPI and session bus, a portable copy of the player in a scratch folder, and the helpers that
# start it, click at logical units, ask it over the media-player interface and read its files.
# The sourcing script sets bin (the folder of the built player) first.
# shellcheck shell=bash


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
# accent_rows LEFT TOP RIGHT BOTTOM: the window units of the first and the last pixel row of
# that rectangle (in units) holding the theme's accent colour #4C8DFF, as "FIRST LAST"; nothing
# when no row does.
accent_rows() {
  local rows
  rows=$(xwd -silent -id "$win" | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
head = struct.unpack(">25I", data[:100])
width, line, colours = head[4], head[12], head[19]
step = line // width
start = head[0] + 12 * colours
left, top, right, bottom = (int(v) for v in sys.argv[1:5])
rows = [y for y in range(top, bottom)
        if any(abs(px[2] - 0x4C) + abs(px[1] - 0x8D) + abs(px[0] - 0xFF) <= 6
               for px in (data[start + y * line + x * step:start + y * line + x * step + 3]
                          for x in range(left, right)))]
print(rows[0], rows[-1]) if rows else None
' "$(px "$1")" "$(px "$2")" "$(px "$3")" "$(px "$4")") || return 1
  [ -n "$rows" ] || return 0
  set -- $rows
  echo "$(unit "$1") $(unit "$2")"
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
