#!/usr/bin/env bash
# Starts the real player on a private virtual display at 96 DPI and checks the window size it
# opens with and the Settings.ini it writes when it is told to stop.
#   startup_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)

if [ -z "${VANTOR_STARTUP_TEST_INNER:-}" ]; then
  export VANTOR_STARTUP_TEST_INNER=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24 -dpi 96" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The player keeps its files beside its executable, so give it a folder of its own.
cp "$bin/vantor" "$work/"
cp -r "$bin/Theme" "$bin/Languages" "$work/"
settings=$work/Settings.ini
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

window_id() {
  for _ in $(seq 1 100); do
    if id=$(xdotool search --name '^Vantor$' 2>/dev/null | head -n 1) && [ -n "$id" ]; then
      echo "$id"; return 0
    fi
    sleep 0.1
  done
  return 1
}

# Background jobs of a script ignore SIGINT unless job control is on.
set -m

# start EXPECTED_WIDTH EXPECTED_HEIGHT: runs the player and checks its client size.
start() {
  SDL_AUDIODRIVER=dummy "$work/vantor" >"$work/log" 2>&1 &
  pid=$!
  local id
  if ! id=$(window_id); then
    fail "no window appeared"; cat "$work/log"; return 1
  fi
  local size
  size=$(xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  [ "$size" = "$1x$2" ] || fail "window is $size, expected $1x$2"
}

# stop SIGNAL: asks the player to end and waits for it.
stop() {
  kill -"$1" "$pid"
  local status=0
  wait "$pid" || status=$?
  pid=
  [ "$status" -eq 0 ] || fail "exit status $status after SIG$1"
}

value() { sed -n "s/^$1=//p" "$settings" | tr -d '\r' | head -n 1; }

# 1. No Settings.ini at 96 DPI: scale 0.4, 2731 x 1575 logical units.
start 1092 630
stop TERM
keys=$(sed -n '/^\[#Settings\]/,/^\[/p' "$settings" | grep -o '^[A-Za-z]*=' | tr -d '=' | tr '\n' ' ')
expected="Volume Balance Mute Equalizer Language MenuOnTop AutoScaling EqPreset ThemeName AppWidth AppHeight AppX AppY "
[ "$keys" = "$expected" ] || fail "keys written: '$keys', expected '$expected'"
[ "$(value AppWidth)" = 2730 ] || fail "AppWidth $(value AppWidth) after a default run"

# 2. Fixed scale 1.5, a hexadecimal width, a mute value of 2, a key of the user's own.
cat >"$settings" <<'INI'
[#Settings]
Volume=0.25
Mute=2
AutoScaling=0
Scaling=1.5
AppWidth=0x400
AppHeight=700
HandAdded=keep me
LastPlayList=#4242
INI
start 1536 1050
stop INT
[ "$(value Mute)" = 1 ] || fail "Mute written as '$(value Mute)'"
[ "$(value AppWidth)" = 1024 ] || fail "AppWidth written as '$(value AppWidth)'"
[ "$(value AppHeight)" = 700 ] || fail "AppHeight written as '$(value AppHeight)'"
[ "$(value Scaling)" = 1.5 ] || fail "Scaling written as '$(value Scaling)'"
[ "$(value Volume)" = 0.25 ] || fail "Volume written as '$(value Volume)'"
[ "$(value HandAdded)" = "keep me" ] || fail "a hand-added key was lost"
[ "$(value LastPlayList)" = "#4242" ] || fail "LastPlayList changed with no current list"

# 3. "Scaling" survives a run with automatic scaling on.
sed -i 's/^AutoScaling=0/AutoScaling=1/' "$settings"
start 410 280
stop TERM
[ "$(value Scaling)" = 1.5 ] || fail "Scaling lost after a run with AutoScaling on"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; exit 1
fi
echo "start-up checks passed"
