#!/usr/bin/env bash
# The installer as an administrator runs it: /S installs for every user into Program Files,
# with a Start-menu shortcut and an entry in Apps & Features; the installed game starts, plays
# and ends normally; the entry's quiet uninstall command removes every file, those the game
# wrote too, the shortcut and the entry, and keeps the player's own files in
# %APPDATA%\Zembrak. Nothing else is left behind.
source "$(dirname "$0")/lib.sh"
setup=${ZK_WINDOWS_SETUP:?the installer to test}
start_display 800x600
drive=$WINEPREFIX/drive_c
RELEASE=$drive/Program\ Files/Zembrak
windows_program_path() { printf 'C:\\Program Files\\Zembrak\\zembrak.exe'; }
shortcut=$drive/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Zembrak.lnk
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembrak'
player=$drive/users/$(id -un)/AppData/Roaming/Zembrak
rm -rf "$RELEASE" "$shortcut" "$player"  # left by an earlier run that failed

# Everything on the Windows drive but the temporary folders, and the registry's keys.
snapshot() {
    (cd "$drive" && find . -path './users/*/Temp' -prune -o -path './windows/temp' -prune -o -print | LC_ALL=C sort)
    grep -h '^\[' "$WINEPREFIX"/*.reg | sed 's/\] [0-9]*$/]/' | LC_ALL=C sort
}
snapshot >"$WORK/before"

wine "$setup" /S >"$WORK/stdout" 2>"$WORK/stderr" || fail "the installer failed"
diff -r "$ZK_RELEASE" "$RELEASE" >"$WORK/installed_diff" || true
expect_eq "$(cat "$WORK/installed_diff")" "Only in $RELEASE: uninstall.exe" "installed files besides the release's"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
wine reg query "$entry" 2>/dev/null | tr -d '\r' | sed -n 's/^ *\([A-Za-z]*\) *REG_[A-Z_]* *\(.*\)$/\1=\2/p' | LC_ALL=C sort >"$WORK/entry"
size_kb=$(du -sk --apparent-size "$ZK_RELEASE" | cut -f1)
expect_eq "$(grep -v EstimatedSize "$WORK/entry")" 'DisplayIcon=C:\Program Files\Zembrak\zembrak.exe,0
DisplayName=Zembrak
DisplayVersion='"$(basename "$setup" | sed 's/^zembrak-\(.*\)-windows-x64-setup.exe$/\1/')"'
InstallLocation=C:\Program Files\Zembrak
NoModify=0x1
NoRepair=0x1
Publisher=the Zembrak developers
QuietUninstallString="C:\Program Files\Zembrak\uninstall.exe" /S
UninstallString="C:\Program Files\Zembrak\uninstall.exe"' "Apps & Features entry"
estimated=$(($(sed -n 's/^EstimatedSize=//p' "$WORK/entry")))
[ "$estimated" -ge $((size_kb * 9 / 10)) ] && [ "$estimated" -le $((size_kb * 11 / 10)) ] ||
    fail "EstimatedSize $estimated KiB for $size_kb KiB of files"
echo "installed: $(find "$RELEASE" -type f | wc -l) files, $estimated KiB"

# The installed game, started as its shortcut does, without a console. Wine lets it write
# beside itself, as Windows does in a folder the player may write: a game that scores leaves
# its settings, best score, best replay and output there, all for the uninstaller to remove.
WINE_START=1 start_wine_game
wait_for_window
wait_for_picture
key Return
step_twice_and_quit
for file in config.txt data/hiscore.txt data/best.replay stdout.txt; do
    [ -s "$RELEASE/$file" ] || fail "the game wrote no $file beside itself"
done
mkdir -p "$player"
printf '5678' >"$player/hiscore.txt"

# A loaded machine may still be closing the game's files when its window is gone: the
# uninstaller starts once every program of the prefix has ended, as after a player quits.
wineserver -w
quiet=$(sed -n 's/^QuietUninstallString=//p' "$WORK/entry")
eval "uninstall=($(echo "$quiet" | sed 's/\\/\\\\/g'))"
wine "${uninstall[@]}" >"$WORK/stdout" 2>"$WORK/stderr" || fail "the uninstaller failed"
# It runs on from a copy of itself in the temporary folder: wait for it.
for _ in $(seq 100); do [ -e "$RELEASE" ] || break; sleep 0.2; done
wineserver -w  # the registry reaches its files when the server ends
[ ! -e "$RELEASE" ] || fail "left in Program Files: $(find "$RELEASE")"
expect_bytes "$player/hiscore.txt" 5678
rm -rf "$player"
# Windows removes the uninstaller's copy at the next start; this prefix never restarts.
rm -rf "$drive/users/$(id -un)/Temp/"~nsu*.tmp
snapshot >"$WORK/after"
cmp -s "$WORK/before" "$WORK/after" || fail "left behind: $(diff "$WORK/before" "$WORK/after")"
echo PASS
