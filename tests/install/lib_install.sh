# Shared steps of the install tests. Usage: source lib_install.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail
ZK_BUILD=$1
ZK_SOURCE=$2
ZK_VERSION=$3
ZK_APP_ID=$4
source "$ZK_SOURCE/tests/e2e/lib.sh" "$ZK_BUILD/zembrak" "$ZK_SOURCE/data"

# install_into DESTDIR PREFIX: the install rules, as a player or a packager runs them.
install_into() {
    DESTDIR=$1 cmake --install "$ZK_BUILD" --prefix "$2" >"$WORK/install.log" 2>&1 ||
        fail "cmake --install: $(cat "$WORK/install.log")"
}

# The tree under a folder, one line per entry: type, path and the target of a link.
tree_of() {
    (cd "$1" && find . -mindepth 1 \( -type l -printf 'l %P -> %l\n' \) -o \( -type d -printf 'd %P\n' \) \
        -o \( -type f -printf 'f %P\n' \) | LC_ALL=C sort)
}

# What the install rules must put under the prefix: the program and all of its data, minus
# the best score, in one folder; the command linking to it; the desktop files; the manual.
expected_tree() {
    local game=lib/games/zembrak
    {
        printf 'l bin/zembrak -> ../%s/zembrak\n' "$game"
        printf 'f %s/zembrak\n' "$game"
        (cd "$ZK_SOURCE/data" && find . -type f ! -name hiscore.txt ! -name '*.tmp' -printf "f $game/data/%P\n")
        printf 'f share/applications/zembrak.desktop\n'
        for size in 16 32 48 64 128 256; do printf 'f share/icons/hicolor/%sx%s/apps/zembrak.png\n' "$size" "$size"; done
        printf 'f share/metainfo/%s.metainfo.xml\n' "$ZK_APP_ID"
        printf 'f share/man/man6/zembrak.6\n'
    } | LC_ALL=C sort
}

# Only the files and links of a tree (the folders follow from them).
entries() { grep -v '^d ' || true; }
