#!/usr/bin/env bash
# The Debian package: `cpack -G DEB` builds it, it holds exactly what the install rules put
# under /usr, with the command in /usr/games, the data in /usr/share/games/zembrak and the
# documentation in /usr/share/doc/zembrak; its control fields are those of a game, it depends
# on exactly the packages of the libraries the program links (and libGL, which SDL opens),
# lintian finds no error and no warning in it, and the packaged game plays without writing
# into its own tree. As root, or with sudo, it installs the package for real: root's game
# writes nothing under /usr, and removing the package leaves nothing behind.
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
for entry in 'f usr/games/zembrak' 'f usr/share/games/zembrak/data/world.txt' 'f usr/share/doc/zembrak/copyright' \
    'f usr/share/doc/zembrak/changelog.gz' 'f usr/share/doc/zembrak/README.md' 'f usr/share/man/man6/zembrak.6.gz'; do
    grep -qx "$entry" "$WORK/deb.list" || fail "the package has no ${entry#f }"
done
grep -E '^[fl] usr/(bin|lib)/' "$WORK/deb.list" >"$WORK/misplaced" && fail "files outside the game folders: $(cat "$WORK/misplaced")"
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

# Each library the packaged program loads comes from a package that Depends names, itself or
# through what it provides (SDL's compatibility layer provides the classic library's name);
# and each dependency is such a package, save libGL, which SDL opens itself. Sanitizer
# runtimes only appear in the sanitizer build, which is never shipped.
dpkg-deb -x "$DEB" "$WORK/unpacked"
PROGRAM=$WORK/unpacked/usr/games/zembrak
DEPENDS=$(field Depends)
tr ',' '\n' <<<"$DEPENDS" | awk '{print $1}' | LC_ALL=C sort >"$WORK/depends"
owner_of() { dpkg -S "$1" 2>/dev/null || dpkg -S "/usr$1" 2>/dev/null || dpkg -S "${1#/usr}" 2>/dev/null; }
echo libgl1 >"$WORK/linked"
for library in $(objdump -p "$PROGRAM" | awk '/NEEDED/ {print $2}'); do
    [[ $library =~ ^lib(asan|ubsan|lsan|tsan)\. ]] && continue
    # awk reads to the end: leaving early would stop ldconfig with SIGPIPE, a failure under pipefail.
    path=$(ldconfig -p | awk -v l="$library" '$1 == l && /x86-64|x32|AArch64/ && found == "" {found = $NF} END {print found}')
    [ -n "$path" ] || fail "$library is not installed"
    owner=$(owner_of "$path") || fail "no package owns $path"
    owner=${owner%%:*}
    names=$(printf '%s\n' "$owner" && dpkg-query -W -f='${Provides}' "$owner" | tr ',' '\n' | awk '{print $1}')
    named=$(grep -Fxf <(echo "$names") "$WORK/depends" || true)
    [ -n "$named" ] || fail "$library comes from $owner, which Depends does not name: $DEPENDS"
    echo "$named" >>"$WORK/linked"
done
LC_ALL=C sort -u "$WORK/linked" | diff - "$WORK/depends" >"$WORK/depends.diff" ||
    fail "Depends names packages the program does not link (>) or misses some (<): $(cat "$WORK/depends.diff")"
echo "ok: dependencies"

# Debian's own checker, every tag it knows; the one override it may show is documented in
# packaging/zembrak.lintian-overrides.
lintian -EIL +pedantic --color never "$DEB" >"$WORK/lintian" 2>"$WORK/lintian.err" ||
    fail "lintian failed: $(cat "$WORK/lintian" "$WORK/lintian.err")"
grep -E '^[EW]: ' "$WORK/lintian" >"$WORK/lintian.bad" && fail "lintian: $(cat "$WORK/lintian.bad")"
[ ! -s "$WORK/lintian" ] || echo "lintian notes: $(cat "$WORK/lintian")"
echo "ok: lintian finds no error and no warning"

# snapshot FOLDER: files, links and folders with their modes and contents.
snapshot() {
    (cd "$1" && find . -printf '%M %u %p %l\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} + | LC_ALL=C sort -k2)
}

# play PROGRAM HOME [as]: the game in a window with sound off, from the player's own settings,
# quit at the title menu with Alt+F4; the best score lands in the player's folder.
play() {
    local program=$1 home=$2
    shift 2
    mkdir -p "$home/.config/zembrak" "$WORK/elsewhere"
    printf 'SCREEN_WIDTH: 800\nSCREEN_HEIGHT: 600\nBPP: 32\nFULLSCREEN: 0\nSOUNDS: 0\nMUSIC: 0\n' \
        >"$home/.config/zembrak/config.txt"
    (cd "$WORK/elsewhere" && exec "$@" env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin \
        ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy "$program" >"$WORK/stdout" 2>"$WORK/stderr") &
    GAME_PID=$!
    wait_for_window
    wait_for_picture
    key alt+F4
    expect_exit 0
    [ -f "$home/.local/share/zembrak/hiscore.txt" ] || fail "the best score was not written to the player's folder"
}

# The unpacked package plays from anywhere, even for whoever owns its tree, and never writes
# into it.
start_display
snapshot "$WORK/unpacked" >"$WORK/unpacked.before"
play "$PROGRAM" "$WORK/home"
snapshot "$WORK/unpacked" | diff "$WORK/unpacked.before" - >"$WORK/unpacked.diff" ||
    fail "the game wrote into its own tree: $(cat "$WORK/unpacked.diff")"
echo "ok: the packaged game plays and keeps its files at home"

# Installed for real, and played by root (through sudo where the test runs as another user
# who may use it without a password); the machine's own zembrak is never replaced.
ROOT=()
if [ "$(id -u)" != 0 ]; then
    sudo -n true 2>/dev/null || { echo "SKIP: installing the package needs root or sudo"; exit 77; }
    ROOT=(sudo -n)
fi
if dpkg-query -W -f='${Status}' zembrak 2>/dev/null | grep -q 'installed'; then
    echo "SKIP: zembrak is already installed here, and the test does not replace it"
    exit 77
fi
apt_get() { "${ROOT[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 "$@" >"$WORK/apt.log" 2>&1; }
trap 'apt_get remove zembrak || true; "${ROOT[@]}" rm -rf "$WORK/root-home"; cleanup' EXIT
apt_get install --no-install-recommends "$DEB" || fail "apt-get install: $(cat "$WORK/apt.log")"
[ -x /usr/games/zembrak ] || fail "no /usr/games/zembrak after installing"
dpkg -L zembrak | sort >"$WORK/owned"
touch "$WORK/stamp"
sleep 1
play /usr/games/zembrak "$WORK/root-home" "${ROOT[@]}"
find /usr -xdev -newer "$WORK/stamp" \( -path '*zembrak*' -o -name config.txt -o -name 'hiscore.txt*' \) \
    >"$WORK/written" 2>/dev/null || true
[ ! -s "$WORK/written" ] || fail "root's game wrote under /usr: $(cat "$WORK/written")"
echo "ok: root plays the installed game and nothing is written under /usr"

apt_get remove zembrak || fail "apt-get remove: $(cat "$WORK/apt.log")"
trap '"${ROOT[@]}" rm -rf "$WORK/root-home"; cleanup' EXIT
while read -r path; do
    [ -e "$path" ] && ! dpkg -S "$path" >/dev/null 2>&1 && echo "$path"
done <"$WORK/owned" >"$WORK/left" || true
[ ! -s "$WORK/left" ] || fail "left behind after removing the package: $(cat "$WORK/left")"
[ ! -e /usr/games/zembrak ] && [ ! -e /usr/share/games/zembrak ] && [ ! -e /usr/share/doc/zembrak ] ||
    fail "the game's folders are still there after removing the package"
echo "ok: removing the package leaves nothing behind"

echo PASS
