#!/usr/bin/env bash
# Starts the real player on a private virtual display at 96 DPI and checks the window size it
# opens with and the Settings.ini it writes when it is told to stop; that a start without an
# audio device ends with nothing written; that later starts hand over to the running player
# without touching its files; that files on the command line fill the default list and play;
# that --help and a wrong option answer without reaching the running player; and that the
# media-player interface on the session bus drives playback, seeking, shuffle and repeat, and
# tells the track's details and cover.
#   startup_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
audio=$(cd "$(dirname "$0")/../../tests/data/audio" && pwd)

if [ -z "${VANTOR_STARTUP_TEST_INNER:-}" ]; then
  export VANTOR_STARTUP_TEST_INNER=1
  # A private session bus as well, for the media-key checks.
  bus=()
  command -v dbus-run-session >/dev/null && bus=(dbus-run-session --)
  exec "${bus[@]}" xvfb-run -a -s "-screen 0 1920x1080x24 -dpi 96 -noreset" "$0" "$@"
fi

work=$(mktemp -d)
pid=
others=()
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  for other in "${others[@]}"; do kill -9 "$other" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# The player's instance socket lives in the runtime folder: a private one keeps these runs
# apart from any other player of this user.
export XDG_RUNTIME_DIR=$work/run
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# A portable copy (its folder holds Theme/ and may be written) keeps its files beside its
# executable, so give it a folder of its own.
cp "$bin/vantor" "$work/"
cp -r "$bin/Theme" "$bin/Languages" "$work/"
settings=$work/Settings.ini
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# alive PID: the process runs (an ended one that was not waited for yet does not).
alive() { local state; state=$(ps -o stat= -p "$1" 2>/dev/null) && [ "${state#Z}" = "$state" ]; }

# player_windows: the player's windows, by class and title. xdotool cannot match a title the
# player sets as UTF-8 text (as it does under a UTF-8 locale), xwininfo reads it.
player_windows() {
  local w
  for w in $(xdotool search --classname '^vantor$' 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q '^xwininfo: Window id: 0x[0-9a-f]* "Vantor"$' && echo "$w"
  done
  return 0
}

# visible_windows: every viewable top-level window, whatever its title.
visible_windows() {
  local w
  for w in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ {print $1}'); do
    xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && echo "$w"
  done
  return 0
}

# window_id [PID]: the player's window, waiting for it while PID (when given) runs.
window_id() {
  for _ in $(seq 1 300); do
    if id=$(player_windows | head -n 1) && [ -n "$id" ]; then
      echo "$id"; return 0
    fi
    [ -z "${1:-}" ] || alive "$1" || return 1
    sleep 0.1
  done
  return 1
}

# The virtual display keeps running between players (-noreset: a display whose last client
# left would restart and refuse the next one for a moment). Should it still refuse a
# connection, SDL is kept to X11 so that the player ends with "x11 not available" instead of
# running without a window, and that start is tried again.
export SDL_VIDEODRIVER=x11
display_refused() { grep -q "x11 not available" "$@" 2>/dev/null; }

# Background jobs of a script ignore SIGINT unless job control is on.
set -m

# start EXPECTED_WIDTH EXPECTED_HEIGHT [ARGUMENT...]: runs the player and checks its client
# size.
start() {
  local id width=$1 height=$2
  shift 2
  for attempt in 1 2 3; do
    SDL_AUDIODRIVER=dummy "$work/vantor" "$@" >"$work/log" 2>&1 &
    pid=$!
    id=$(window_id "$pid") && break
    if [ "$attempt" -lt 3 ] && ! alive "$pid" && display_refused "$work/log"; then
      wait "$pid" || true
      sleep 1
      continue
    fi
    fail "no window appeared"; cat "$work/log"; return 1
  done
  local size
  size=$(xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  [ "$size" = "${width}x$height" ] || fail "window is $size, expected ${width}x$height"
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
expected="Volume Balance Mute Equalizer ReplayGain ReplayGainPreamp Language MenuOnTop AutoScaling EqPreset ThemeName AppWidth AppHeight AppX AppY "
[ "$keys" = "$expected" ] || fail "keys written: '$keys', expected '$expected'"
[ "$(value AppWidth)" = 2730 ] || fail "AppWidth $(value AppWidth) after a default run"
# A first start seeds the equalizer presets.
presets=$(sed -n '/^\[Presets\]/,/^\[/p' "$settings" | grep -o '^[A-Za-z ]*=' | tr -d '=' | tr '\n' ',')
[ "$presets" = "Default,Manual,Rock,Pop,Jazz,Classical,Bass Boost,Treble Boost,Vocal,Electronic," ] ||
  fail "presets written: '$presets'"
[ "$(value Manual)" = "0,0,0,0,0,0,0,0,0,0" ] || fail "Manual written as '$(value Manual)'"

# 2. Fixed scale 0.5, a hexadecimal width, a mute value of 2, a key of the user's own.
cat >"$settings" <<'INI'
[#Settings]
Volume=0.25
Mute=2
AutoScaling=0
Scaling=0.5
AppWidth=0x800
AppHeight=1300
HandAdded=keep me
LastPlayList=#4242000
INI
start 1024 650
stop INT
[ "$(value Mute)" = 1 ] || fail "Mute written as '$(value Mute)'"
[ "$(value AppWidth)" = 2048 ] || fail "AppWidth written as '$(value AppWidth)'"
[ "$(value AppHeight)" = 1300 ] || fail "AppHeight written as '$(value AppHeight)'"
[ "$(value Scaling)" = 0.5 ] || fail "Scaling written as '$(value Scaling)'"
[ "$(value Volume)" = 0.25 ] || fail "Volume written as '$(value Volume)'"
[ "$(value HandAdded)" = "keep me" ] || fail "a hand-added key was lost"
[ "$(value LastPlayList)" = "#4242000" ] || fail "LastPlayList changed with no current list"

# 3. "Scaling" survives a run with automatic scaling on. This run has no session bus: the
# player runs without media keys.
sed -i 's/^AutoScaling=0/AutoScaling=1/' "$settings"
DBUS_SESSION_BUS_ADDRESS= start 819 520
stop TERM
[ "$(value Scaling)" = 0.5 ] || fail "Scaling lost after a run with AutoScaling on"

# A window stored smaller than the player's minimum opens at the minimum (1800 x 1200).
sed -i -e 's/^AppWidth=.*/AppWidth=1000/' -e 's/^AppHeight=.*/AppHeight=700/' "$settings"
start 720 480
stop TERM
[ "$(value AppWidth)" = 1800 ] || fail "AppWidth written as '$(value AppWidth)' after a start below the minimum"

# A listing of the player's folder with sizes and modification times, the runtime folder
# left out.
snapshot() { (cd "$work" && find . -path ./run -prune -o -type f ! -name 'log*' -printf '%p %s %T@\n' | sort); }

# 4. No audio device: the error message, then the end, with Settings.ini as it was.
before=$(snapshot)
cp "$settings" "$work/Settings.before"
SDL_AUDIODRIVER=vantor-no-such-driver "$work/vantor" >"$work/log" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  alive "$pid" || break
  # Where the display can show the message box, answer it.
  for box in $(visible_windows); do
    xdotool key --window "$box" Return 2>/dev/null || true
  done
  sleep 0.1
done
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 1 ] || fail "exit status $status without an audio device, expected 1"
[ -n "$(player_windows)" ] && fail "a window appeared without an audio device"
cmp -s "$settings" "$work/Settings.before" || fail "Settings.ini changed without an audio device"
rm "$work/Settings.before"
[ "$(snapshot)" = "$before" ] || fail "files changed without an audio device"

# 5. Later starts hand over to the running player and end without touching its files.
start 720 480
first=$pid
before=$(snapshot)
if timeout 30 "$work/vantor" "$work/song.mp3" "$work/other.flac" >"$work/log2" 2>&1; then :; else
  fail "a second start with files ended with status $?"; cat "$work/log2"
fi
# Without files it brings the player's window back: here one that was taken off the screen.
id=$(window_id) && xdotool windowunmap --sync "$id"
if timeout 30 "$work/vantor" >"$work/log2" 2>&1; then :; else
  fail "a second start without files ended with status $?"; cat "$work/log2"
fi
for _ in $(seq 1 50); do
  xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && break
  sleep 0.1
done
xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || fail "a second start did not bring the window back"
# Help, version and a wrong option answer at once, whatever runs.
for option in --help --version --no-such-option; do
  status=0
  timeout 10 "$work/vantor" "$option" >"$work/log2" 2>&1 || status=$?
  case "$option" in
    --no-such-option) expected=2 ;;
    *) expected=0 ;;
  esac
  [ "$status" -eq "$expected" ] || fail "vantor $option ended with status $status, expected $expected"
done
grep -q "unknown option '--no-such-option'" "$work/log2" || fail "a wrong option is not named: $(cat "$work/log2")"
[ "$(snapshot)" = "$before" ] || fail "a second start touched the player's files"
alive "$first" || fail "the running player ended after a second start"
[ "$(player_windows | wc -l)" -eq 1 ] || fail "a second start opened a window"

# 6. A player that was killed leaves its socket behind; the next start runs all the same.
kill -9 "$first"
wait "$first" 2>/dev/null || true
pid=
[ -S "$XDG_RUNTIME_DIR/vantor-instance.sock" ] || fail "no socket left by the killed player"
start 720 480
stop TERM
[ -e "$XDG_RUNTIME_DIR/vantor-instance.sock" ] && fail "the socket outlived the player"

# 7. Two starts at the same moment: one runs, the other hands over and ends.
for attempt in 1 2 3; do
  others=()
  SDL_AUDIODRIVER=dummy "$work/vantor" >"$work/log" 2>&1 &
  others+=($!)
  SDL_AUDIODRIVER=dummy "$work/vantor" >"$work/log2" 2>&1 &
  others+=($!)
  window_id >/dev/null || true
  for _ in $(seq 1 200); do
    alive "${others[0]}" && alive "${others[1]}" || break
    sleep 0.1
  done
  [ "$attempt" -lt 3 ] && display_refused "$work/log" "$work/log2" || break
  for other in "${others[@]}"; do kill -9 "$other" 2>/dev/null || true; wait "$other" 2>/dev/null || true; done
done
[ -n "$(player_windows)" ] || fail "no window after two starts"
running=()
for other in "${others[@]}"; do
  if alive "$other"; then running+=("$other"); else
    status=0; wait "$other" || status=$?
    [ "$status" -eq 0 ] || fail "the start that handed over ended with status $status"
  fi
done
[ "${#running[@]}" -eq 1 ] || fail "${#running[@]} players run after two starts at once"
[ "$(player_windows | wc -l)" -eq 1 ] || fail "two starts at once opened two windows"
for other in "${running[@]}"; do
  kill -TERM "$other"; wait "$other" || fail "the running player ended with status $?"
done
others=()

# 8. Two files on the command line: the default list holds exactly them and is the current
# list at shutdown; a start without arguments keeps them.
mkdir "$work/music"
cp "$audio/sine.mp3" "$work/music/one.mp3"
cp "$audio/sine.mp3" "$work/music/two.mp3"
default_list=$work/Playlists/Default.vlbr
listed() { sed -n 's/^FilePath=//p' "$default_list" 2>/dev/null | tr -d '\r' | sort | tr '\n' ' '; }
list_id() { sed -n '/^\[#Settings\]/,/^\[/s/^ID=//p' "$default_list" 2>/dev/null | tr -d '\r' | head -n 1; }
expected="$work/music/one.mp3 $work/music/two.mp3 "
for run in "with files" "without arguments"; do
  if [ "$run" = "with files" ]; then start 720 480 "$work/music/one.mp3" "$work/music/two.mp3"; else start 720 480; fi
  stop TERM
  [ "$(listed)" = "$expected" ] || fail "default list after a start $run: '$(listed)', expected '$expected'"
  [ -n "$(list_id)" ] && [ "$(value LastPlayList)" = "$(list_id)" ] ||
    fail "LastPlayList '$(value LastPlayList)' after a start $run, the default list is '$(list_id)'"
done

# 9. Playback through the media-player interface on the session bus, the way desktop media
# keys reach the player; the interface also tells what plays.
mpris() {
  gdbus call --session --dest org.mpris.MediaPlayer2.vantor --object-path /org/mpris/MediaPlayer2 "$@" 2>/dev/null
}
key() { mpris --method "org.mpris.MediaPlayer2.Player.$1" >/dev/null || fail "the $1 call failed"; }
playback_status() {
  mpris --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player PlaybackStatus |
    grep -o "'[A-Za-z]*'" | tr -d "'"
}
playing_file() {
  mpris --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player Metadata |
    grep -o "'xesam:url': <'file://[^']*'>" | sed "s|.*<'file://\(.*\)'>|\1|"
}
# wait_for QUERY EXPECTED: asks QUERY until it answers EXPECTED, for up to 15 seconds.
wait_for() {
  local answer
  for _ in $(seq 1 150); do
    answer=$($1) && [ "$answer" = "$2" ] && return 0
    sleep 0.1
  done
  fail "$1 answers '$answer', expected '$2'"
}
if [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v gdbus >/dev/null; then
  for name in a b c; do
    ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=60" "$work/music/$name.wav"
  done
  start 720 480 "$work/music/a.wav" "$work/music/b.wav"
  wait_for playback_status Playing
  # The first track in the list's order plays.
  first=$(playing_file)
  second=$work/music/a.wav
  [ "$first" = "$second" ] && second=$work/music/b.wav
  case "$first" in
    "$work/music/a.wav" | "$work/music/b.wav") ;;
    *) fail "'$first' plays after a start with two files" ;;
  esac
  key PlayPause
  wait_for playback_status Paused
  key PlayPause
  wait_for playback_status Playing
  key Next
  wait_for playing_file "$second"
  # A later start with a new file and one the list holds: the new file joins the list (the
  # other is not added twice) and plays at once. The new one comes as a URI, as from a file
  # manager.
  timeout 30 "$work/vantor" "file://$work/music/c.wav" "$work/music/a.wav" >"$work/log2" 2>&1 ||
    fail "a second start with files ended with status $?"
  wait_for playing_file "$work/music/c.wav"
  wait_for playback_status Playing
  key Previous
  wait_for playing_file "$second"
  key Stop
  wait_for playback_status Stopped
  stop TERM
  expected="$work/music/a.wav $work/music/b.wav $work/music/c.wav "
  [ "$(listed)" = "$expected" ] || fail "default list after a hand-over: '$(listed)', expected '$expected'"

  # 10. A tagged track with a cover, given as a URI the way a file manager does: the
  # interface tells its details and cover, and seeks, shuffles and repeats.
  ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=60" "$work/music/tagged one.mp3"
  cover=$(cd "$(dirname "$0")/../../tests/data/covers/jpeg" && pwd)/grey.jpg
  "$bin/vantor-tags" --set TRACKNUMBER=5/9 --set "ALBUMARTIST=The Band" --set GENRE=Jazz --picture "$cover" \
    "$work/music/tagged one.mp3" || fail "vantor-tags could not tag the track"
  start 720 480 "file://$work/music/tagged%20one.mp3"
  wait_for playing_file "$work/music/tagged%20one.mp3"
  metadata=$(mpris --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player Metadata)
  for field in "'xesam:trackNumber': <5>" "'xesam:albumArtist': <['The Band']>" "'xesam:genre': <['Jazz']>"; do
    [[ "$metadata" == *"$field"* ]] || fail "no $field in $metadata"
  done
  art=$(echo "$metadata" | grep -o "'mpris:artUrl': <'file://[^']*'>" | sed "s|.*<'file://\(.*\)'>|\1|")
  [ -n "$art" ] && cmp -s "$art" "$cover" || fail "mpris:artUrl '$art' is not the track's cover"
  property() { mpris --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "$1"; }
  set_property() {
    mpris --method org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player "$1" "$2" >/dev/null ||
      fail "setting $1 to $2 failed"
  }
  [ "$(property CanSeek)" = "(<true>,)" ] || fail "CanSeek is $(property CanSeek) while a track plays"
  # Paused, so that the position stays where it was put; within 0.1 s of it.
  key Pause
  wait_for playback_status Paused
  position() { property Position | grep -o '[0-9]*' | tail -n 1; }
  near() { local p; p=$(position); [ -n "$p" ] && [ "$p" -ge $(($1 - 100000)) ] && [ "$p" -le $(($1 + 100000)) ]; }
  gdbus monitor --session --dest org.mpris.MediaPlayer2.vantor --object-path /org/mpris/MediaPlayer2 \
    >"$work/monitor" 2>&1 &
  monitor=$!
  others+=("$monitor")
  sleep 0.5
  track=$(echo "$metadata" | grep -o "'mpris:trackid': <objectpath '[^']*'>" | sed "s|.*'\(/[^']*\)'>|\1|")
  mpris --method org.mpris.MediaPlayer2.Player.SetPosition "$track" 30000000 >/dev/null || fail "SetPosition failed"
  near 30000000 || fail "position $(position) after SetPosition to 30 s"
  mpris --method org.mpris.MediaPlayer2.Player.Seek -- -10000000 >/dev/null || fail "Seek failed"
  near 20000000 || fail "position $(position) after a seek of -10 s from 30 s"
  mpris --method org.mpris.MediaPlayer2.Player.SetPosition /org/vantor/Track/0 5000000 >/dev/null
  near 20000000 || fail "SetPosition with another track's ID moved to $(position)"
  for _ in $(seq 1 50); do
    [ "$(grep -c 'Player.Seeked' "$work/monitor")" -ge 2 ] && break
    sleep 0.1
  done
  [ "$(grep -c 'Player.Seeked' "$work/monitor")" -eq 2 ] || fail "Seeked was not signalled once per move: $(cat "$work/monitor")"
  kill "$monitor" 2>/dev/null || true
  wait "$monitor" 2>/dev/null || true
  others=()
  # Shuffle and repeat of the current list; the player repeats whole lists only.
  for value in true false; do
    set_property Shuffle "<$value>"
    [ "$(property Shuffle)" = "(<$value>,)" ] || fail "Shuffle is $(property Shuffle) after setting it to $value"
  done
  for value in Playlist:Playlist Track:Playlist None:None; do
    set_property LoopStatus "<'${value%%:*}'>"
    [ "$(property LoopStatus)" = "(<'${value#*:}'>,)" ] ||
      fail "LoopStatus is $(property LoopStatus) after setting ${value%%:*}"
  done
  mpris --method org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player LoopStatus "<'Forever'>" >/dev/null &&
    fail "LoopStatus took 'Forever'"
  stop TERM
  [ -e "$art" ] && fail "the cover file outlived the player"
elif [ "${CI:-}" = true ]; then
  fail "no session bus or no gdbus: the media-player interface was not checked (dbus-daemon and libglib2.0-bin are set up for CI)"
else
  echo "note: no session bus or no gdbus, the media-player interface checks were skipped"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; exit 1
fi
echo "start-up checks passed"
