#!/usr/bin/env bash
# A system-wide install played by an ordinary player: started through the installed command
# from another folder, with a home of its own and no XDG variables, the game plays, keeps the
# higher best score over two runs in ~/.local/share/zembrak and the settings in
# ~/.config/zembrak, and writes nothing into the install, not even when the player owns it:
# that is decided when the program is built. The portable component that ./play installs, in
# a folder the player owns, keeps both files beside the program.
source "$(dirname "$0")/lib_install.sh"
source "$ZK_SOURCE/tests/e2e/lib_exit.sh"

# As root the player is `nobody`, for whom root's files are read-only; another user cannot
# change who it is, so the install is made read-only for it instead.
if [ "$(id -u)" = 0 ]; then
    PLAYER=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    own() { chown -R nobody:nogroup "$@"; }
    seal() { :; }
else
    PLAYER=()
    own() { :; }
    seal() { chmod -R a-w "$1"; }
fi
trap 'chmod -R u+w "$WORK" 2>/dev/null || true; cleanup' EXIT
chmod 755 "$WORK"
start_display
mkdir -p "$WORK/elsewhere"

PREFIX=$WORK/system
install_into "" "$PREFIX"
seal "$PREFIX"

# Files, links and folders of a tree with their modes, owners and contents.
snapshot() {
    (cd "$1" && find . -printf '%M %u %g %p %l\n' | LC_ALL=C sort &&
        find . -type f -exec sha256sum {} + | LC_ALL=C sort -k2)
}

# play HOME FOLDER: the player's environment only, the command found through PATH in FOLDER.
play() {
    local home=$1 folder=$2
    (cd "$WORK/elsewhere" && exec "${PLAYER[@]}" env -i HOME="$home" PATH="$folder:/usr/bin:/bin" \
        DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy ASAN_OPTIONS="detect_leaks=0:abort_on_error=0:exitcode=99" \
        zembrak >"$WORK/stdout" 2>"$WORK/stderr") &
    GAME_PID=$!
    wait_for_window
    wait_for_picture
}

# A new game and one step right, which scores 2 or, with key repeat on a busy machine, a
# little more; then Alt+F4, which keeps the score of the game in progress as the best.
play_one_step() {
    key Return
    wait_for_play
    key Right
    key alt+F4
    expect_exit 0
}

# best_score FILE: the number in it, which must be the score of one step.
best_score() {
    local best
    best=$(cat "$1" && echo .) || fail "no $1"
    best=${best%.}
    [[ $best =~ ^[0-9]+$ ]] && [ "$best" -ge 2 ] && [ "$best" -le 10 ] && [ $((best % 2)) = 0 ] ||
        fail "$1: expected the score of a step, 2 or a little more, got [$best]"
    echo "$best"
}

HOME1=$WORK/home1
mkdir -p "$HOME1" && own "$HOME1"
snapshot "$PREFIX" >"$WORK/install.before"

# First run: nothing saved yet anywhere; the defaults are full screen with sound and music.
play "$HOME1" "$PREFIX/games"
expect_eq "$(xprop -id "$(game_window)" WM_CLASS)" 'WM_CLASS(STRING) = "zembrak", "zembrak"' "window class"
grep -qx "StartupWMClass=zembrak" "$PREFIX/share/applications/zembrak.desktop" ||
    fail "the desktop entry does not name the window's class"
play_one_step
expect_output stdout 'Could not load hiscore from data\\hiscore.txtCould not load config from config.txt'
expect_output stderr ''
first=$(best_score "$HOME1/.local/share/zembrak/hiscore.txt")
standard_config 800 600 32 1 128 100 >"$WORK/expected_config"
cmp -s "$WORK/expected_config" "$HOME1/.config/zembrak/config.txt" ||
    fail "the player's config.txt: $(cat "$HOME1/.config/zembrak/config.txt")"
echo "ok: first run saved in the player's folders (best score $first)"

# The player edits the settings; the second run reads both files from the player's folders,
# scores nothing and leaves the higher best score of the two runs.
standard_config 800 600 32 0 0 0 >"$HOME1/.config/zembrak/config.txt"
play "$HOME1" "$PREFIX/games"
key alt+F4
expect_exit 0
expect_output stdout ''
expect_output stderr ''
expect_eq "$(cat "$HOME1/.local/share/zembrak/hiscore.txt")" "$first" "best score after a second run that scored 0"
standard_config 800 600 32 0 0 0 >"$WORK/expected_config"
cmp -s "$WORK/expected_config" "$HOME1/.config/zembrak/config.txt" ||
    fail "the player's config.txt after the second run: $(cat "$HOME1/.config/zembrak/config.txt")"
echo "ok: second run read the player's files and kept the higher best score"

snapshot "$PREFIX" >"$WORK/install.after"
diff "$WORK/install.before" "$WORK/install.after" >"$WORK/install.diff" ||
    fail "the install changed: $(cat "$WORK/install.diff")"
echo "ok: nothing written into the install"

# The same install owned by the player, who could write into it: still nothing beside it.
chmod -R u+w "$PREFIX"
own "$PREFIX"
snapshot "$PREFIX" >"$WORK/install.before"
HOME2=$WORK/home2
mkdir -p "$HOME2" && own "$HOME2"
play "$HOME2" "$PREFIX/games"
play_one_step
expect_output stderr ''
best_score "$HOME2/.local/share/zembrak/hiscore.txt" >/dev/null
[ -f "$HOME2/.config/zembrak/config.txt" ] || fail "no config.txt in the player's folder"
snapshot "$PREFIX" | diff "$WORK/install.before" - >"$WORK/install.diff" ||
    fail "the install the player owns changed: $(cat "$WORK/install.diff")"
echo "ok: a system-wide install the player owns still keeps the files at home"

# ./play's folder: the portable component where the player owns it, both files beside the
# program, none at home.
install_into "" "$WORK/own" portable
own "$WORK/own"
HOME3=$WORK/home3
mkdir -p "$HOME3" && own "$HOME3"
play "$HOME3" "$WORK/own/bin"
play_one_step
expect_output stderr ''
GAME=$WORK/own/lib/games/zembrak
best_score "$GAME/data/hiscore.txt" >/dev/null
standard_config 800 600 32 1 128 100 >"$WORK/expected_config"
cmp -s "$WORK/expected_config" "$GAME/config.txt" || fail "config.txt beside the program: $(cat "$GAME/config.txt")"
[ ! -e "$HOME3/.config/zembrak" ] && [ ! -e "$HOME3/.local/share/zembrak" ] ||
    fail "files went to the player's folders although the program's folder is writable"
echo "ok: a folder of one's own keeps the files beside the program"

echo PASS
