#!/usr/bin/env bash
# Drives the playlist options page through the real window on a private virtual display and
# session bus: a new list is renamed in the name field (its file holds the new caption as soon
# as the page is left), a folder is linked through the folder dialog (a stand-in zenity on
# PATH answers, as no desktop portal runs on the private bus) and shows in the file's linked
# folders, a rescan adds its tracks (one then plays), and a press on the folder's entry unlinks it.
#   list_options_clicks_test.sh BIN_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
source "$(dirname "$0")/window_test_lib.sh"

# Two short tracks in the folder to link.
mkdir -p "$work/linked/Sea Songs"
for n in 1 2; do
  ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:duration=5:sample_rate=8000" \
    -metadata "title=Sea $n" "$work/linked/Sea Songs/sea-$n.flac"
done

# The folder dialog: a zenity that names the folder, and notes how it was asked.
mkdir "$work/stubs"
cat >"$work/stubs/zenity" <<STUB
#!/bin/sh
printf '%s\n' "\$@" > "$work/zenity-args"
printf '%s\n' "$work/linked/Sea Songs"
STUB
chmod +x "$work/stubs/zenity"
export PATH="$work/stubs:$PATH"
if gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.ListActivatableNames 2>/dev/null | grep -q "org.freedesktop.portal.Desktop"; then
  echo "FAIL: a desktop portal can start on the test's bus; its dialog would answer instead of the stand-in"
  exit 1
fi

# The side menu's tab column is the window's right 100 units from the top bar (250) down;
# its tabs are 100 x 100, 115 apart, playlists first. An open page is the 750 units left of
# it: a caption bar of 100 on top, an actions bar of 100 at the bottom (above the 108-unit
# bottom bar) with buttons 80 wide, left-aligned ones from 10 every 90, right-aligned ones
# from the right edge (the last at 660).
page_left=$((W - 850))
page_top=250
actions_y=$((H - 108 - 50))
tab_x=$((W - 50))
playlists_tab_y=$((page_top + 50))
first_button_x=$((page_left + 10 + 40))
second_button_x=$((page_left + 100 + 40))
last_right_x=$((page_left + 660 + 40))
next_right_x=$((page_left + 570 + 40))
# The options page: the name field at (10, 110) of the page, 75 high; the folder entries below
# it, 90 high every 100 from 205, their left 96 units unlinking.
name_y=$((page_top + 110 + 37))
name_x=$((page_left + 200))
entry_y=$((page_top + 205 + 45))
unlink_x=$((page_left + 10 + 48))

start
# A new list (the playlists page's first button) becomes the active one; the last right
# button opens its options.
click 1 "$tab_x" "$playlists_tab_y"
click 1 "$first_button_x" "$actions_y"
click 1 "$last_right_x" "$actions_y"
# Renamed: the whole name selected and typed over, then back.
click 1 "$name_x" "$name_y"
xdotool key --window "$win" ctrl+a
xdotool type --window "$win" --delay 20 "Road Trip"
click 1 "$first_button_x" "$actions_y"
list=
for _ in $(seq 1 100); do
  list=$(grep -l '^Caption=Road Trip' "$work"/Playlists/*.vpl 2>/dev/null | head -n 1) && [ -n "$list" ] && break
  sleep 0.1
done
[ -n "$list" ] || fail "no list file holds Caption=Road Trip after renaming: $(cat "$work"/Playlists/*.vpl 2>/dev/null)"

linked() { sed -n '/^\[#Linked\]/,/^\[/p' "$1" 2>/dev/null | sed -n 's/^[0-9]*=//p' | tr -d '\r'; }
if [ -n "$list" ]; then
  # Back on the playlists page: the options again, then the link button.
  click 1 "$last_right_x" "$actions_y"
  click 1 "$next_right_x" "$actions_y"
  for _ in $(seq 1 100); do linked "$list" | grep -qx "$work/linked/Sea Songs" && break; sleep 0.1; done
  linked "$list" | grep -qx "$work/linked/Sea Songs" ||
    fail "the list's linked folders after the folder dialog answered: '$(linked "$list")'"
  grep -qx -- "--directory" "$work/zenity-args" 2>/dev/null || fail "the dialog was not asked for a folder"
  grep -qx -- "--title=Selected Folder" "$work/zenity-args" 2>/dev/null || fail "the dialog's title: $(cat "$work/zenity-args")"

  # Rescan: the folder's tracks join the list, which then plays the first.
  click 1 "$last_right_x" "$actions_y"
  can_play() { property CanPlay | grep -o 'true\|false'; }
  wait_for can_play true "the new list after a rescan of the linked folder"
  click 1 "$play_x" "$bar_y"
  wait_for title "Sea 1" "the play button after a rescan of the linked folder"
  # A press on the entry's left area unlinks the folder, in the file at once.
  click 1 "$unlink_x" "$entry_y"
  for _ in $(seq 1 100); do linked "$list" | grep -q . || break; sleep 0.1; done
  [ -z "$(linked "$list")" ] || fail "the folder is still linked after a press on its entry: '$(linked "$list")'"
fi
close

if [ -n "$list" ]; then
  [ "$(key_of "$list" Caption)" = "Road Trip" ] || fail "Caption=$(key_of "$list" Caption) after closing"
  [ -z "$(linked "$list")" ] || fail "the unlinked folder came back at closing: '$(linked "$list")'"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"; cat "$work/log"; exit 1
fi
echo "list options checks passed"
