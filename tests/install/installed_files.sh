#!/usr/bin/env bash
# `cmake --install` into a prefix: in the layout the build was configured for, the program and
# all its data and nothing a player writes; the portable component that ./play installs, with
# the command as a relative link that leads to the program; desktop entry, icons, AppStream
# file and manual page where desktops and `man` look, each passing its own validator; the
# licence, the changelog and the README with the documentation, the release notes the same
# as CHANGELOG.md's.
source "$(dirname "$0")/lib_install.sh"

PREFIX=$WORK/prefix
install_into "" "$PREFIX"
diff <(expected_tree "$ZK_LAYOUT") <(tree_of "$PREFIX" | entries) >"$WORK/tree.diff" ||
    fail "installed files differ from the expected ones (< expected, > installed): $(cat "$WORK/tree.diff")"
[ -x "$(program_in "$PREFIX")" ] || fail "the program is not executable"
echo "ok: files in place for the $ZK_LAYOUT layout"

# ./play's folder: the program beside its data, the command leading to it.
OWN=$WORK/own
if [ "$ZK_LAYOUT" = system ]; then
    install_into "" "$OWN" portable
    diff <(expected_tree component) <(tree_of "$OWN" | entries) >"$WORK/tree.diff" ||
        fail "the portable component differs (< expected, > installed): $(cat "$WORK/tree.diff")"
else
    OWN=$PREFIX
fi
expect_eq "$(readlink -f "$OWN/bin/zembrak")" "$(readlink -f "$OWN/lib/games/zembrak/zembrak")" "the command's target"
echo "ok: a folder of one's own, the command leads to the program"

# Staged for a package (DESTDIR) the program is where the prefix puts it.
install_into "$WORK/stage" /usr
[ -x "$(program_in "$WORK/stage/usr")" ] || fail "the staged command does not lead to the program"
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
grep -q '<project_license>MIT</project_license>' "$PREFIX/share/metainfo/$ZK_APP_ID.metainfo.xml" ||
    fail "the AppStream file does not name the licence"
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

# The licence, word for word, in the machine-readable copyright file; the changelog readable
# by Debian's own parser, with the versions and dates of CHANGELOG.md, as the AppStream
# releases have them, newest first and this version on top.
DOC=$PREFIX/share/doc/zembrak
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$DOC/copyright" ||
    fail "copyright is not in the machine-readable format: $(head -3 "$DOC/copyright")"
grep -qx 'License: Expat' "$DOC/copyright" || fail "copyright names no Expat licence"
diff <(sed -n '/^Permission is hereby granted/,$p' "$ZK_SOURCE/LICENSE") \
    <(sed -n '/^ Permission is hereby granted/,$p' "$DOC/copyright" | sed 's/^ //; s/^\.$//') >"$WORK/licence.diff" ||
    fail "the copyright file's licence differs from LICENSE: $(cat "$WORK/licence.diff")"
cmp -s "$ZK_SOURCE/README.md" "$DOC/README.md" || fail "the installed README differs"
gzip -dc "$DOC/changelog.gz" >"$WORK/changelog" || fail "changelog.gz is not gzip data"
sed -n 's/^## \([0-9.]*\) - \([0-9-]*\)$/\1 \2/p' "$ZK_SOURCE/CHANGELOG.md" >"$WORK/releases.md"
dpkg-parsechangelog -l "$WORK/changelog" --format rfc822 --all 2>"$WORK/parse.err" |
    awk -F': ' '/^Version:/ {v = $2} /^Date:/ {print v "|" $2}' |
    while IFS='|' read -r version stamp; do echo "$version $(date -u -d "$stamp" +%F)"; done >"$WORK/releases.deb"
[ ! -s "$WORK/parse.err" ] || fail "dpkg-parsechangelog: $(cat "$WORK/parse.err")"
diff "$WORK/releases.md" "$WORK/releases.deb" >"$WORK/releases.diff" ||
    fail "the Debian changelog's versions and dates differ from CHANGELOG.md: $(cat "$WORK/releases.diff")"
grep -o '<release version="[^"]*" date="[^"]*"' "$PREFIX/share/metainfo/$ZK_APP_ID.metainfo.xml" |
    sed 's/<release version="\([^"]*\)" date="\([^"]*\)"/\1 \2/' >"$WORK/releases.appstream"
diff "$WORK/releases.md" "$WORK/releases.appstream" >"$WORK/releases.diff" ||
    fail "the AppStream releases differ from CHANGELOG.md: $(cat "$WORK/releases.diff")"
expect_eq "$(head -1 "$WORK/releases.md" | cut -d' ' -f1)" "$ZK_VERSION" "the newest release"
echo "ok: licence, changelog and release notes"

echo PASS
