#!/usr/bin/env bash
# `cmake --install` into a prefix: the program with all its data in one folder and nothing a
# player writes, the command as a relative link that leads to the program, and desktop
# entry, icons, AppStream file and manual page where desktops and `man` look, each passing
# its own validator.
source "$(dirname "$0")/lib_install.sh"

PREFIX=$WORK/prefix
install_into "" "$PREFIX"
diff <(expected_tree) <(tree_of "$PREFIX" | entries) >"$WORK/tree.diff" ||
    fail "installed files differ from the expected ones (< expected, > installed): $(cat "$WORK/tree.diff")"
[ -x "$PREFIX/lib/games/zembrak/zembrak" ] || fail "the program is not executable"
expect_eq "$(readlink -f "$PREFIX/bin/zembrak")" "$(readlink -f "$PREFIX/lib/games/zembrak/zembrak")" "the command's target"
echo "ok: files in place, the command leads to the program"

# Staged for a package (DESTDIR) the link still leads to the staged program.
install_into "$WORK/stage" /usr
[ -x "$WORK/stage/usr/bin/zembrak" ] || fail "the staged command does not lead to the program"
echo "ok: staged install"

desktop-file-validate "$PREFIX/share/applications/zembrak.desktop" >"$WORK/validate" 2>&1 ||
    fail "desktop-file-validate: $(cat "$WORK/validate")"
[ ! -s "$WORK/validate" ] || fail "desktop-file-validate has remarks: $(cat "$WORK/validate")"
grep -qx 'Categories=Game;ArcadeGame;' "$PREFIX/share/applications/zembrak.desktop" || fail "categories"
echo "ok: desktop entry"

# The AppStream file alone, then the whole installed tree as a software centre reads it:
# the desktop entry it launches and the icon must be found beside it.
appstreamcli validate --no-net --pedantic "$PREFIX/share/metainfo/$ZK_APP_ID.metainfo.xml" >"$WORK/validate" 2>&1 ||
    fail "appstreamcli validate: $(cat "$WORK/validate")"
appstreamcli validate-tree --no-net "$WORK/stage" >"$WORK/validate" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$WORK/validate")"
grep -q "<release version=\"$ZK_VERSION\" date=\"[0-9-]*\"" "$PREFIX/share/metainfo/$ZK_APP_ID.metainfo.xml" ||
    fail "the release in the AppStream file is not version $ZK_VERSION"
for shot in $(grep -o 'screenshots/[a-z_]*\.png' "$PREFIX/share/metainfo/$ZK_APP_ID.metainfo.xml"); do
    [ -f "$ZK_SOURCE/docs/$shot" ] || fail "the AppStream file shows $shot, which docs/ does not have"
done
echo "ok: AppStream file"

# Every size a real PNG of that size: the icon theme takes the size from the folder name.
for size in 16 32 48 64 128 256; do
    file -b "$PREFIX/share/icons/hicolor/${size}x${size}/apps/zembrak.png" | grep -q "^PNG image data, $size x $size," ||
        fail "icon ${size}x$size: $(file -b "$PREFIX/share/icons/hicolor/${size}x${size}/apps/zembrak.png")"
done
echo "ok: icons"

# The manual page renders with no warnings, and `man zembrak` finds it under the prefix.
MANWIDTH=80 man --warnings -E UTF-8 -l "$PREFIX/share/man/man6/zembrak.6" >"$WORK/man.txt" 2>"$WORK/man.err" ||
    fail "man failed: $(cat "$WORK/man.err")"
[ ! -s "$WORK/man.err" ] || fail "man warns: $(cat "$WORK/man.err")"
for section in NAME SYNOPSIS KEYS SETTINGS FILES ENVIRONMENT 'EXIT STATUS'; do
    grep -q "^$section\$" "$WORK/man.txt" || fail "the manual page has no $section section"
done
for word in SDL_AUDIODRIVER XDG_CONFIG_HOME/zembrak/config.txt XDG_DATA_HOME/zembrak/hiscore.txt SOUNDS MUSIC; do
    grep -q "$word" "$WORK/man.txt" || fail "the manual page does not mention $word"
done
expect_eq "$(MANPATH="$PREFIX/share/man" man -w 6 zembrak)" "$PREFIX/share/man/man6/zembrak.6" "man -w"
echo "ok: manual page"

echo PASS
