#!/usr/bin/env bash
# Drives the equalizer page of the real player's window with pointer clicks on a private
# virtual display at 96 DPI and checks what the clicks did through Settings.ini once the
# window is closed: band presses while the equalizer is off and on, the tab that opens and
# closes the page, a preset picked from the preset page, the balance and its middle click.
#   equalizer_clicks_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
source "$(dirname "$0")/window_test_lib.sh"

rock="5,4,2,-1,-2,-1,2,4,5,5"
pop="-1,2,4,5,3,0,-1,-1,-1,-1"
cat >"$settings" <<EOF
[#Settings]
Equalizer=0
EqPreset=Rock
Balance=0
[Presets]
Default=0,0,0,0,0,0,0,0,0,0
Manual=0,0,0,0,0,0,0,0,0,0
Rock=$rock
Pop=$pop
EOF

# A key of the "Presets" section.
preset_of() { sed -n '/^\[Presets\]/,/^\[/p' "$settings" | sed -n "s/^$1=//p" | tr -d '\r' | head -n 1; }
# press BUTTON X Y: a click, then a moment for the window to take it.
press() {
  click "$@"
  sleep 0.4
}

# The side menu's tabs are 100 units square, 115 apart, from the top of the menu under the
# 250-unit top bar; the equalizer's is the sixth. An open page is 750 wide left of the tab
# column, 1217 high (the window less the bars above and below), with its actions bar along its
# last 100 units; a right-aligned button is 80 wide from 90 units before the bar's right end.
tab_x=$((W - 50))
eq_tab_y=$((250 + 5 * 115 + 50))
page_left=$((W - 850))
page_height=$((H - 250 - 108))
load_preset_x=$((page_left + 750 - 90 + 40))
actions_y=$((250 + page_height - 50))
# The equalizer sits 10 units inside the page under its 100-unit caption bar, 730 wide: a
# response curve 240 high, then the band tracks from 20 units below it to 110 units above the
# equalizer's bottom (670 high in all). Band i's track is 35 wide at 80 + 65 i (65 = (730 - 430)
# / 10 + 35); its knob is 30 high, the top of the track being -15 dB, the bottom +15 dB.
eq_left=$((page_left + 10))
eq_top=$((250 + 100 + 10))
track_top=$((eq_top + 240 + 20))
track_height=$((670 - 240 - 20 - 110))
band_x() { echo $((eq_left + 80 + 65 * $1 + 17)); }
# band_y VALUE: the unit at the middle of the knob of a gain of VALUE - 15.
band_y() { echo $((track_top + 15 + (track_height - 30) * $1 / 30)); }
# The value a press at unit Y gives, from where the pointer lands.
value_at() {
  awk -v y="$(unit "$(px "$1")")" -v t="$track_top" -v h="$track_height" 'BEGIN {
    if (y < t + 15) y = t + 15; if (y > t + h - 15) y = t + h - 15
    v = 30 * (y - t - 15) / (h - 30); printf "%d", (v < 0 ? v - 0.5 : v + 0.5) }'
}
# The balance is 50 units under the equalizer, 730 wide; its track runs from 20 units inside
# it, 55 high, with a knob 36 wide.
balance_top=$((eq_top + 670 + 50))
balance_y=$((balance_top + 20 + 27))
balance_left=$((eq_left + 20))
balance_width=$((730 - 40))
# The preset page lists its entries 90 high, 100 apart, from 10 units under the caption bar;
# the left 64 units of an entry are its bin.
preset_y() { echo $((250 + 100 + 10 + 100 * $1 + 45)); }
preset_x=$((page_left + 400))

# ---- The page, the equalizer switch and the bands -------------------------------------------
start
press 1 "$tab_x" "$eq_tab_y"
# Off: a press on band 7 changes nothing.
press 1 "$(band_x 7)" "$(band_y 0)"
# The bottom bar's switch turns the equalizer on (Rock, the named preset); a press on band 3
# makes Manual from Rock with that band's value.
press 1 "$eq_x" "$bar_y"
band3_y=$(band_y 3)
band3=$(($(value_at "$band3_y") - 15))
press 1 "$(band_x 3)" "$band3_y"
# The balance three quarters to the right.
balance_x=$((balance_left + 18 + (balance_width - 36) * 3 / 4))
balance=$(awk -v x="$(unit "$(px "$balance_x")")" -v l="$balance_left" -v w="$balance_width" \
  'BEGIN { p = 200 * (x - l - 18) / (w - 36); printf "%.2f", int(p + 0.5) / 100 - 1 }')
press 1 "$balance_x" "$balance_y"
# The tab again closes the page: a press where band 3 was reaches the list, not the band.
press 1 "$tab_x" "$eq_tab_y"
press 1 "$(band_x 3)" "$(band_y 28)"
close

expected=$(echo "$rock" | awk -F, -v OFS=, -v g="$band3" '{ $4 = g; print }')
[ "$(key_of "$settings" Equalizer)" = 1 ] || fail "the equalizer button did not switch the equalizer on"
[ "$(key_of "$settings" EqPreset)" = Manual ] ||
  fail "EqPreset is '$(key_of "$settings" EqPreset)' after a band press, expected Manual"
[ "$(preset_of Manual)" = "$expected" ] ||
  fail "Manual is '$(preset_of Manual)' after a press on band 3 (off: band 7), expected '$expected'"
[ "$(preset_of Rock)" = "$rock" ] || fail "Rock changed to '$(preset_of Rock)'"
awk -v v="$(key_of "$settings" Balance)" -v e="$balance" 'BEGIN { d = v - e; exit !(v != "" && d < 0.005 && d > -0.005) }' ||
  fail "Balance is '$(key_of "$settings" Balance)' after a press on the balance, expected $balance"

# ---- The preset page and the balance's middle click ----------------------------------------
manual=$(preset_of Manual)
start
press 1 "$tab_x" "$eq_tab_y"
press 2 "$balance_x" "$balance_y"
press 1 "$load_preset_x" "$actions_y"
# Default, Manual, Rock, Pop: Pop is the fourth entry.
press 1 "$preset_x" "$(preset_y 3)"
close

[ "$(key_of "$settings" EqPreset)" = Pop ] ||
  fail "EqPreset is '$(key_of "$settings" EqPreset)' after a click on Pop, expected Pop"
[ "$(preset_of Manual)" = "$manual" ] || fail "picking a preset changed Manual to '$(preset_of Manual)'"
[ "$(preset_of Pop)" = "$pop" ] || fail "Pop changed to '$(preset_of Pop)'"
awk -v v="$(key_of "$settings" Balance)" 'BEGIN { exit !(v != "" && v + 0 == 0) }' ||
  fail "Balance is '$(key_of "$settings" Balance)' after a middle click, expected 0"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; exit 1
fi
echo "equalizer click checks passed"
