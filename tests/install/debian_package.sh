#!/usr/bin/env bash
# The Debian package: `cpack -G DEB` builds it, it holds exactly what the install rules put
# under /usr, its control fields are those of a game, every library the program needs
# comes from a package it depends on, and the packaged game starts and quits.
source "$(dirname "$0")/lib_install.sh"

cpack -G DEB --config "$ZK_BUILD/CPackConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$WORK/cpack.log")"
debs=("$WORK"/pkg/zembrak_"$ZK_VERSION"_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "no zembrak_${ZK_VERSION}_*.deb: $(ls "$WORK/pkg")"
DEB=${debs[0]}

# dpkg-deb -c lines: mode owner size date time ./path [-> target]
dpkg-deb -c "$DEB" | awk '{
    type = substr($1, 1, 1); if (type == "-") type = "f"; path = substr($6, 3); sub(/\/$/, "", path)
    if (path == "") next
    if (type == "l") print type, path, "->", $8; else print type, path }' | LC_ALL=C sort >"$WORK/deb.list"
install_into "$WORK/stage" /usr
# Debian's manual pages are compressed; the package is otherwise the install, file for file.
tree_of "$WORK/stage" | sed 's|^f \(usr/share/man/man6/.*\.6\)$|f \1.gz|' | LC_ALL=C sort >"$WORK/install.list"
diff "$WORK/install.list" "$WORK/deb.list" >"$WORK/list.diff" ||
    fail "the package differs from the install (< install, > package): $(cat "$WORK/list.diff")"
dpkg-deb -c "$DEB" | awk '$2 != "root/root" {print}' >"$WORK/owners"
[ ! -s "$WORK/owners" ] || fail "files not owned by root: $(cat "$WORK/owners")"
dpkg-deb --fsys-tarfile "$DEB" | tar -xOf - ./usr/share/man/man6/zembrak.6.gz | gzip -dc >"$WORK/packaged.6" ||
    fail "the packaged manual page is not gzip data"
cmp -s "$WORK/packaged.6" "$WORK/stage/usr/share/man/man6/zembrak.6" || fail "the packaged manual page differs"
echo "ok: the package holds what the install rules put in place"

field() { dpkg-deb -f "$DEB" "$1"; }
expect_eq "$(field Package)" zembrak "Package"
expect_eq "$(field Version)" "$ZK_VERSION" "Version"
expect_eq "$(field Section)" games "Section"
expect_eq "$(field Architecture)" "$(dpkg --print-architecture)" "Architecture"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: [$(field Maintainer)]"
[ -n "$(field Description)" ] || fail "no Description"
echo "ok: control fields"

# Each dependency names a package Debian has: at least one of its alternatives is known here.
DEPENDS=$(field Depends)
IFS=, read -ra groups <<<"$DEPENDS"
for group in "${groups[@]}"; do
    known=0
    IFS='|' read -ra alternatives <<<"$group"
    for alternative in "${alternatives[@]}"; do
        name=$(awk '{print $1}' <<<"$alternative")
        if dpkg-query -W "$name" >/dev/null 2>&1 || apt-cache show "$name" >/dev/null 2>&1; then
            known=1
            break
        fi
    done
    [ "$known" = 1 ] || fail "no package provides the dependency [$group]"
done

# Every library the packaged program loads belongs to a package named in Depends: the package
# that puts the library's name where the loader finds it (a link, for SDL's compatibility
# layer). Sanitizer runtimes only appear in the sanitizer build, which is never shipped.
dpkg-deb -x "$DEB" "$WORK/unpacked"
PROGRAM=$WORK/unpacked/usr/lib/games/zembrak/zembrak
owner_of() { dpkg -S "$1" 2>/dev/null || dpkg -S "/usr$1" 2>/dev/null || dpkg -S "${1#/usr}" 2>/dev/null; }
for library in $(objdump -p "$PROGRAM" | awk '/NEEDED/ {print $2}'); do
    [[ $library =~ ^lib(asan|ubsan|lsan|tsan)\. ]] && continue
    # awk reads to the end: leaving early would stop ldconfig with SIGPIPE, a failure under pipefail.
    path=$(ldconfig -p | awk -v l="$library" '$1 == l && /x86-64|x32|AArch64/ && found == "" {found = $NF} END {print found}')
    [ -n "$path" ] || fail "$library is not installed"
    owner=$(owner_of "$path") || fail "no package owns $path"
    owner=${owner%%:*}
    tr ',|' '\n\n' <<<"$DEPENDS" | awk '{print $1}' | grep -Fxq "$owner" || fail "$library comes from $owner, which Depends does not name: $DEPENDS"
done
echo "ok: dependencies"

# The unpacked game starts from its folder through the packaged command and quits.
start_display
mkdir -p "$WORK/elsewhere"
printf 'SCREEN_WIDTH: 800\nSCREEN_HEIGHT: 600\nBPP: 32\nFULLSCREEN: 0\nSOUNDS: 0\nMUSIC: 0\n' \
    >"$WORK/unpacked/usr/lib/games/zembrak/config.txt"
(cd "$WORK/elsewhere" && exec env ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy \
    "$WORK/unpacked/usr/bin/zembrak" >"$WORK/stdout" 2>"$WORK/stderr") &
GAME_PID=$!
wait_for_window
wait_for_picture
key alt+F4
expect_exit 0
[ -f "$WORK/unpacked/usr/lib/games/zembrak/data/hiscore.txt" ] || fail "the best score was not written beside the game"
echo "ok: the packaged game runs"

echo PASS
