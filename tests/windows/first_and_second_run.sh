#!/usr/bin/env bash
# A player's first start of the Windows release, unpacked into a folder named "Hry ř" and
# started by its full path from another folder: no settings and no best score yet, so the game
# says so on stdout.txt and opens full screen (the default) without touching the display mode.
# The title menu is the Linux build's menu; Return starts a game, the arrows step and score,
# Alt+F4 ends with status 0 and both files written with Windows line ends. The second start
# reads them back: a window of the size put into config.txt, the best score kept, the settings
# written again unchanged, a World file with CR LF line ends read as well.
source "$(dirname "$0")/lib.sh"

# What Explorer shows of zembrak.exe: its icon in every size (the largest as PNG), the version
# of the sources, and a manifest that keeps Windows from scaling or elevating it.
exe=$ZK_RELEASE/zembrak.exe
version=$(sed -n 's/^project(Zembrak VERSION \([0-9.]*\).*/\1/p' "$HERE/../../CMakeLists.txt")
wrestool -x --type=group_icon "$exe" >"$WORK/icons.ico" || fail "zembrak.exe has no icon"
expect_eq "$(icotool -l "$WORK/icons.ico" 2>/dev/null | sed 's/.*--width=\([0-9]*\) --height=\([0-9]*\) --bit-depth=\([0-9]*\).*/\1x\2x\3/' | tr '\n' ' ')" \
    "16x16x32 32x32x32 48x48x32 64x64x32 128x128x32 256x256x32 " "icon sizes"
# Read from a file: head closing the pipe early would end wrestool with SIGPIPE under pipefail.
wrestool -x --raw --type=icon --name=6 "$exe" >"$WORK/icon256"
[ "$(head -c 4 "$WORK/icon256" | tail -c 3)" = PNG ] || fail "the 256 px icon is no PNG"
strings=$(wrestool -x --raw --type=version "$exe" | tr -d '\0')
for field in "ProductNameZembrak" "FileVersion$version" "ProductVersion$version" "OriginalFilenamezembrak.exe" \
    "LegalCopyrightCopyright (c) 2026 the Zembrak developers"; do
    [[ "$strings" == *"$field"* ]] || fail "version information without [$field]"
done
manifest=$(wrestool -x --raw --type=24 "$exe")
for part in 'level="asInvoker"' '>true/pm</dpiAware>' '>PerMonitorV2, PerMonitor</dpiAwareness>' 'supportedOS Id='; do
    [[ "$manifest" == *"$part"* ]] || fail "manifest without [$part]"
done

start_display 800x600
grab_linux_menu

install_release
build_display_report
display_before=$(display_report)
x_before=$(x_display_mode)
echo "display as Wine reports it:"; echo "$display_before" | sed 's/^/  /'
# Refresh-rate control is on when the version's major number is above 4. The game then wants
# the VREFRESH it read at start back whenever it finds another one; while the rate stays what
# it read, it enumerates nothing and changes nothing. (Wine's modes all say 0 Hz, so no mode
# would qualify either.) Seen from outside: the same report and X mode before, during, after.
major=$(echo "$display_before" | sed -n 's/^version \([0-9]*\)\..*/\1/p')
[ "${major:-0}" -gt 4 ] || fail "Wine reports Windows version [$major]: refresh-rate control would stay off"

# --- first start
start_wine_game
wait_for_window
wait_for_picture
expect_blink_on 1
wine_menu=$BLINK_DARK
cp "$WORK/$wine_menu.ppm" "$WORK/wine_menu.ppm"
different=$(differing_pixels linux_menu wine_menu)
echo "menu: $different of 480000 pixels differ from the Linux build's by more than 8 %," \
    "$(compare -metric AE "$WORK/linux_menu.ppm" "$WORK/wine_menu.ppm" null: 2>&1 || true) differ at all"
# Rasterisers may round a few edge pixels apart; another screen differs in most of them.
[ "$different" -le 2400 ] || fail "the title menu under Wine is not the Linux build's menu ($different pixels differ)"
expect_eq "$(x_display_mode)" "$x_before" "X display mode while the game runs full screen"
expect_eq "$(display_report)" "$display_before" "the display as Wine reports it while the game runs full screen"

key Return
wait_until_differs "$wine_menu" play0 "$RIGHT_EDGE"
step_twice_and_quit
# Nothing else: the title music (Ogg Vorbis) and the step sound (WAV) played through SDL's
# dummy audio driver without a failure to report.
expect_bytes "$RELEASE/stdout.txt" 'Could not load hiscore from data\\hiscore.txtCould not load config from config.txt'
expect_no_output stderr.txt
# Two steps of 2 points each: a new run scores at level 1 until it first tries an edge.
best=4
expect_bytes "$RELEASE/data/hiscore.txt" "$best"
expect_windows_config 800 600 32 1 128 100
expect_eq "$(x_display_mode)" "$x_before" "X display mode after the game"
expect_eq "$(display_report)" "$display_before" "the display as Wine reports it after the game"

# --- second start: a window of 640 x 480, set by editing the file the first start wrote
sed -i 's/^SCREEN_WIDTH: 800\r$/SCREEN_WIDTH: 640\r/; s/^SCREEN_HEIGHT: 600\r$/SCREEN_HEIGHT: 480\r/; s/^FULLSCREEN: 1\r$/FULLSCREEN: 0\r/' \
    "$RELEASE/config.txt"
# A comment line far longer than a line the game keeps: cut, skipped, nothing else changes.
{ printf '#%01000d\r\n' 0; cat "$RELEASE/config.txt"; } >"$WORK/config.txt" && mv "$WORK/config.txt" "$RELEASE/config.txt"
# The World as Notepad would save it, with CR LF line ends: read all the same.
sed -i 's/$/\r/' "$RELEASE/data/world.txt"
# Started by a relative path with forward slashes: the game's folder is found all the same.
start_wine_game '"../Hry ř/zembrak.exe"'

wait_for_window
expect_window_size 640x480 "window size from config.txt"
# The window's icon is the program's own, with transparent corners; a picture without a mask
# would show as an opaque square.
IFS=, read -r -a icon <<<"$(xprop -id "$(game_window)" -notype 32c _NET_WM_ICON | sed 's/^[^=]*=//; s/ //g')"
[ "${#icon[@]}" -gt 2 ] || fail "the window has no icon"
corner=$((icon[2] >> 24)) middle=$((icon[2 + icon[1] / 2 * icon[0] + icon[0] / 2] >> 24))
[ "$corner" = 0 ] && [ "$middle" = 255 ] ||
    fail "window icon ${icon[0]}x${icon[1]}: opacity $corner in the corner, $middle in the middle"
# Centred on the 800 x 600 desktop, as SDL_VIDEO_CENTERED asks: the window's caption, which
# Wine counts in and X does not show, moves the picture a little down.
read -r left top <<<"$(xwininfo -id "$(game_window)" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4} END {print x, y}')"
[ "$left" = 80 ] && [ "$top" -ge 60 ] && [ "$top" -le 90 ] || fail "the window is not centred: at $left,$top"
wait_for_picture
expect_eq "$(x_display_mode)" "$x_before" "X display mode while the game runs in a window"
key alt+F4
expect_exit 0
expect_no_output stdout.txt
expect_no_output stderr.txt
expect_bytes "$RELEASE/data/hiscore.txt" "$best"
expect_windows_config 640 480 32 0 128 100
# Saved through temporary files that replaced the old ones and are gone.
[ -z "$(find "$RELEASE" -name '*.tmp')" ] || fail "temporary files left: $(find "$RELEASE" -name '*.tmp')"
expect_eq "$(display_report)" "$display_before" "the display as Wine reports it after the second game"
echo PASS
