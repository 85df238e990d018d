#!/usr/bin/env bash
# Installs the build into a temporary prefix, beside a file and folders the prefix had
# before, with a temporary home: the desktop entry and the AppStream metadata pass their
# validators; the installed player, its install folder made read-only, writes its settings
# and playlists only into the XDG folders; and scripts/uninstall leaves the prefix as it was.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
audio=$source_dir/tests/data/audio

if [ -z "${VANTOR_INSTALL_TEST_INNER:-}" ]; then
  export VANTOR_INSTALL_TEST_INNER=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24 -dpi 96 -noreset" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export HOME=$work/home
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
# No session bus: this run is about files, not the media-player interface.
export DBUS_SESSION_BUS_ADDRESS= SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11

# A prefix that holds something already: a folder the install shares and a file of another
# program in it.
prefix=$work/prefix
mkdir -p "$prefix/share/applications"
echo "[Desktop Entry]" >"$prefix/share/applications/other.desktop"
# Folders by name only: their times change with what comes and goes inside them.
listing() { (cd "$work" && find prefix \( -type d -printf '%p/\n' \) -o -printf '%p %y %s %T@\n' | sort); }
before=$(listing)

VANTOR_BUILD_DIR=$build "$source_dir/scripts/install" "$prefix" >"$work/log" || { cat "$work/log"; exit 1; }
for file in bin/vantor bin/vantor-tags share/applications/vantor.desktop share/metainfo/org.vantor.Vantor.metainfo.xml \
  share/icons/hicolor/scalable/apps/vantor.svg share/icons/hicolor/48x48/apps/vantor.png \
  share/icons/hicolor/128x128/apps/vantor.png share/icons/hicolor/256x256/apps/vantor.png \
  share/vantor/Theme/default/ThemeData.qxs share/vantor/Languages/English.vlng; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done
grep -qx 'Exec=vantor %U' "$prefix/share/applications/vantor.desktop" || fail "the desktop entry does not run 'vantor %U'"

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup-deps installs it)"
done
desktop-file-validate "$prefix/share/applications/vantor.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.vantor.Vantor.metainfo.xml" >"$work/log" 2>&1 ||
  { cat "$work/log"; fail "appstreamcli validate"; }

for option in --help --version; do
  "$prefix/bin/vantor" "$option" >"$work/log" 2>&1 || fail "vantor $option ended with status $?"
  "$prefix/bin/vantor-tags" "$option" >/dev/null 2>&1 || fail "vantor-tags $option ended with status $?"
done
grep -q '^usage: vantor' "$work/log" 2>/dev/null || "$prefix/bin/vantor" --help | grep -q '^usage: vantor' ||
  fail "vantor --help shows no usage"

# The installed player with its install folder read-only (for root too: the listing before
# and after must match).
chmod -R a-w "$prefix"
installed=$(listing)
cp "$audio/sine.mp3" "$work/song.mp3"
"$prefix/bin/vantor" "file://$work/song.mp3" >"$work/log" 2>&1 &
pid=$!
window=
for _ in $(seq 1 300); do
  window=$(xdotool search --classname '^vantor$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || { cat "$work/log"; fail "the installed player showed no window"; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { cat "$work/log"; fail "the installed player ended with status $status"; }
[ -f "$HOME/.config/vantor/Settings.ini" ] || fail "no Settings.ini in ~/.config/vantor"
grep -q "^FilePath=$work/song.mp3" "$HOME/.local/share/vantor/Playlists/Default.vlbr" 2>/dev/null ||
  fail "the default list in ~/.local/share/vantor/Playlists does not hold the file given as a URI"
[ "$(listing)" = "$installed" ] || fail "the installed player wrote into its install folder"
chmod -R u+w "$prefix"

"$source_dir/scripts/uninstall" "$prefix" >"$work/log" || { cat "$work/log"; fail "uninstall ended with status $?"; }
if [ "$(listing)" != "$before" ]; then
  fail "the prefix differs after uninstalling"
  diff <(echo "$before") <(listing) || true
fi
# Into a prefix that did not exist: uninstalling removes it again.
VANTOR_BUILD_DIR=$build "$source_dir/scripts/install" "$work/new/prefix" >/dev/null
"$source_dir/scripts/uninstall" "$work/new/prefix" >/dev/null
[ ! -e "$work/new" ] || fail "uninstalling left $(cd "$work" && find new | head -n 3 | tr '\n' ' ')"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; exit 1
fi
echo "install checks passed"
