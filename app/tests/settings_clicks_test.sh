#!/usr/bin/env bash
# Drives the settings pages of the real player's window on a private virtual display at 96
# DPI: the bottom bar's menu button opens the settings page, a click on the light theme
# repaints the window in it, a click on Deutsch repaints the captions in German, both are in
# Settings.ini once the window is closed, and both hold after a restart.
#   settings_clicks_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
source "$(dirname "$0")/window_test_lib.sh"

# pixel X Y: the colour (rrggbb) the window shows at window units X, Y, read from a dump of
# the window (blue, green, red first, 3 or 4 bytes a pixel).
pixel() {
  xwd -silent -id "$win" | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
head = struct.unpack(">25I", data[:100])
size, step, line, colours = head[0], head[11] // 8, head[12], head[19]
x, y = int(sys.argv[1]), int(sys.argv[2])
at = size + 12 * colours + y * line + step * x
print("%02x%02x%02x" % (data[at + 2], data[at + 1], data[at]))
' "$(px "$1")" "$(px "$2")"
}
# area_sum LEFT TOP RIGHT BOTTOM: a checksum of the pixels of a rectangle in window units.
area_sum() {
  xwd -silent -id "$win" | python3 -c '
import hashlib, struct, sys
data = sys.stdin.buffer.read()
head = struct.unpack(">25I", data[:100])
size, step, line, colours = head[0], head[11] // 8, head[12], head[19]
l, t, r, b = (int(v) for v in sys.argv[1:5])
start = size + 12 * colours
rows = [data[start + y * line + step * l:start + y * line + step * r] for y in range(t, b)]
print(hashlib.sha1(b"".join(rows)).hexdigest())
' "$(px "$1")" "$(px "$2")" "$(px "$3")" "$(px "$4")"
}
# light RRGGBB: whether a colour is light (its channels sum above 600).
light() { (($((16#${1:0:2})) + $((16#${1:2:2})) + $((16#${1:4:2})) > 600)); }
# settle: lets the player paint what the last click changed.
settle() { sleep 1; }

# The bottom bar's menu button is its last 100 units. The open side menu is 850 units at the
# window's right edge under the 250-unit top bar, its page the left 750 of it; the page's
# actions bar is its last 100 units, above the 108-unit bottom bar, with the back button at 10.
# Entries are 90 high, 100 apart, from 10 below the top of the page's list: the settings page's
# list starts under its 226-unit header, the other pages' under their 100-unit caption bar.
menu_x=$((W - 50))
menu_y=$((H - 54))
page_left=$((W - 850))
page_x=$((page_left + 375))
page_top=250
back_x=$((page_left + 10 + 40))
back_y=$((H - 108 - 50))
settings_entry_y() { echo $((page_top + 226 + 10 + 100 * $1 + 45)); }
entry_y() { echo $((page_top + 100 + 10 + 100 * $1 + 45)); }
# Settings entries: about, language, themes. Themes by folder: default, light. Languages by
# file: Deutsch, English.
caption=("$page_left" "$page_top" $((page_left + 750)) $((page_top + 100)))
# A point of the empty list, left of the side menu.
list_x=400
list_y=900

# One track, so that the list shows.
ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=5:sample_rate=8000" "$work/tone.flac"

start "$work/tone.flac"
settle
dark_list=$(pixel "$list_x" "$list_y")
light "$dark_list" && fail "the default theme's list is light ($dark_list)"
closed_page=$(pixel "$page_x" "$(settings_entry_y 0)")
click 1 "$menu_x" "$menu_y"
settle
[ "$(pixel "$page_x" "$(settings_entry_y 0)")" != "$closed_page" ] ||
  fail "the menu button did not open the settings page"

click 1 "$page_x" "$(settings_entry_y 2)"
settle
click 1 "$page_x" "$(entry_y 1)"
settle
light_list=$(pixel "$list_x" "$list_y")
light "$light_list" || fail "the list is $light_list after picking the light theme (was $dark_list)"

click 1 "$back_x" "$back_y"
settle
click 1 "$page_x" "$(settings_entry_y 1)"
settle
english=$(area_sum "${caption[@]}")
click 1 "$page_x" "$(entry_y 0)"
settle
german=$(area_sum "${caption[@]}")
[ "$german" != "$english" ] || fail "the page's caption did not change after picking Deutsch"
close

[ "$(key_of "$settings" ThemeName)" = light ] || fail "ThemeName=$(key_of "$settings" ThemeName) after picking light"
[ "$(key_of "$settings" Language)" = Deutsch.vlng ] ||
  fail "Language=$(key_of "$settings" Language) after picking Deutsch"

# After a restart: the light list, and the language page's caption in German.
start "$work/tone.flac"
settle
again=$(pixel "$list_x" "$list_y")
[ "$again" = "$light_list" ] || fail "the list is $again after a restart, $light_list before"
click 1 "$menu_x" "$menu_y"
settle
click 1 "$page_x" "$(settings_entry_y 1)"
settle
[ "$(area_sum "${caption[@]}")" = "$german" ] || fail "the language page's caption is not German after a restart"
close

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; exit 1
fi
echo "settings click checks passed"
