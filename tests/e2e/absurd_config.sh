#!/usr/bin/env bash
# Settings no one should write: negative, zero, odd and enormous sizes, depths and volumes.
# The game either runs (SDL falls back to something it can show) or stops with the window
# message and status 1; it never crashes. Either way it writes the values back as it read
# them (numbers beyond 32 bits saturate).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"
start_display

# try NAME WIDTH HEIGHT BPP FULLSCREEN SOUNDS MUSIC [AS_READ_WIDTH AS_READ_HEIGHT AS_READ_BPP]
try() {
    local name=$1 outcome=""
    rm -rf "$WORK/game"
    install_game
    printf 'SCREEN_WIDTH: %s\nSCREEN_HEIGHT: %s\nBPP: %s\nFULLSCREEN: %s\nSOUNDS: %s\nMUSIC: %s\n' \
        "$2" "$3" "$4" "$5" "$6" "$7" >"$WORK/game/config.txt"
    start_game
    # Alt+F4 once the window shows, again every two seconds: a game that runs reads it as
    # soon as it looks at its events; one that fails ends by itself.
    local status=0 tries=0
    while kill -0 "$GAME_PID" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -le 600 ] || fail "$name: the game did not end"
        if [ $((tries % 20)) = 1 ] && xdotool search --onlyvisible --name '^Zembrak$' >/dev/null 2>&1; then
            key alt+F4
        fi
        sleep 0.1
    done
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    expect_no_sanitizer_report
    case $status in
    0)
        outcome=runs
        expect_output stderr ''
        ;;
    1)
        outcome=stopped
        grep -qE '^Cannot create SDL window with OpenGL support: .+\.$' "$WORK/stderr" &&
            [ "$(wc -l <"$WORK/stderr")" = 1 ] || fail "$name: status 1 without the window message"
        ;;
    *) fail "$name: crashed, exit status $status" ;;
    esac
    expect_output stdout 'Could not load hiscore from data\\hiscore.txt'
    expect_saved 0 "${8:-$2}" "${9:-$3}" "${10:-$4}" "$5" "$6" "$7"
    echo "ok: $name ($outcome)"
}

try "negative width, 7 bits per pixel, sound volume 300" -5 600 7 0 300 100
try "7 bits per pixel, full screen 5, music volume -1" 800 600 7 5 300 -1
try "all zero, sound volume -7" 0 0 0 0 -7 0
try "negative height in full screen" 800 -600 32 1 0 0
try "a window far larger than the screen" 100000 100000 32 0 0 0
try "a width beyond 32 bits" 99999999999 600 32 1 0 0 2147483647
try "width and height beyond 32 bits" 99999999999 99999999999 99999999999 0 0 0 2147483647 2147483647 2147483647
try "width and height beyond 32 bits in full screen" 99999999999 99999999999 32 1 128 100 2147483647 2147483647

# The sizes' range at its edges: 0 and 16384 go to SDL, one past either is refused before.
range_refused() { grep -q "out of range 0\.\.16384\.$" "$WORK/stderr"; }
for edge in "16384 600 no" "16385 600 yes" "0 0 no" "800 -1 yes"; do
    read -r width height refused <<<"$edge"
    try "a size at the edge of its range: $width x $height" "$width" "$height" 32 0 0 0
    [ "$(range_refused && echo yes || echo no)" = "$refused" ] || fail "$width x $height: refused should be $refused"
done

echo PASS
