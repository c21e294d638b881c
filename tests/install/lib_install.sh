# Shared steps of the install tests.
# Usage: source lib_install.sh BUILD_DIR SOURCE_DIR VERSION APP_ID LAYOUT (system or portable)
set -euo pipefail
ZK_BUILD=$1
ZK_SOURCE=$2
ZK_VERSION=$3
ZK_APP_ID=$4
ZK_LAYOUT=$5
source "$ZK_SOURCE/tests/e2e/lib.sh" "$ZK_BUILD/zembrak" "$ZK_SOURCE/data"

# install_into DESTDIR PREFIX [COMPONENT]: the install rules, as a player or a packager runs them.
install_into() {
    DESTDIR=$1 cmake --install "$ZK_BUILD" --prefix "$2" ${3:+--component "$3"} >"$WORK/install.log" 2>&1 ||
        fail "cmake --install: $(cat "$WORK/install.log")"
}

# The installed program under a prefix, for a layout.
program_in() {
    if [ "${2:-$ZK_LAYOUT}" = system ]; then echo "$1/games/zembrak"; else echo "$1/bin/zembrak"; fi
}

# The tree under a folder, one line per entry: type, path and the target of a link.
tree_of() {
    (cd "$1" && find . -mindepth 1 \( -type l -printf 'l %P -> %l\n' \) -o \( -type d -printf 'd %P\n' \) \
        -o \( -type f -printf 'f %P\n' \) | LC_ALL=C sort)
}

# What the install rules put under the prefix. System-wide: the program in games/, all of its
# data, minus the best score, in share/games/zembrak, nothing in bin/ or lib/. A folder of
# one's own: the program and its data in one folder with the command linking to it. Both: the
# desktop files, the manual, the licence, changelog and README. The portable component alone
# (./play) is only the program, its data and the command.
expected_tree() {
    local layout=$1 game=lib/games/zembrak data
    {
        if [ "$layout" = system ]; then
            printf 'f games/zembrak\n'
            data=share/games/zembrak/data
            printf 'f share/lintian/overrides/zembrak\n'
        else
            printf 'l bin/zembrak -> ../%s/zembrak\n' "$game"
            printf 'f %s/zembrak\n' "$game"
            data=$game/data
        fi
        (cd "$ZK_SOURCE/data" && find . -type f ! -name hiscore.txt ! -name '*.tmp' -printf "f $data/%P\n")
        if [ "$layout" != component ]; then
            printf 'f share/applications/zembrak.desktop\n'
            for size in 16 32 48 64 128 256; do printf 'f share/icons/hicolor/%sx%s/apps/zembrak.png\n' "$size" "$size"; done
            printf 'f share/metainfo/%s.metainfo.xml\n' "$ZK_APP_ID"
            printf 'f share/man/man6/zembrak.6\n'
            printf 'f share/doc/zembrak/%s\n' copyright changelog.gz README.md
        fi
    } | LC_ALL=C sort
}

# Only the files and links of a tree (the folders follow from them).
entries() { grep -v '^d ' || true; }
