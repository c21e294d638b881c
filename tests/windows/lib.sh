# Shared steps of the tests of the Windows release: the real zembrak.exe from the unpacked
# archive under Wine, in its own Xvfb display, beside the Linux build for reference.
# Usage: source lib.sh RELEASE_FOLDER LINUX_PROGRAM
#   RELEASE_FOLDER: the unpacked archive's folder (zembrak.exe, data\, the DLLs)
#   LINUX_PROGRAM:  the Linux build of the same sources, whose screens are the reference
set -euo pipefail
ZK_RELEASE=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$HERE/../e2e/lib.sh" "$2" "$ZK_RELEASE/data"
source "$HERE/../e2e/lib_screens.sh"
source "$HERE/../e2e/lib_exit.sh"

# One private Wine prefix, made once and kept between runs (tests/windows/run makes it).
export WINEPREFIX=${ZK_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zembrak/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"  # no Mono or Gecko installer
# Wine reads Unix names and arguments in the locale's character set.
export LC_ALL=C.UTF-8

# The game is unpacked into a folder whose name the system's ANSI code page cannot spell, as
# a Czech player's may be.
RELEASE="$WORK/Hry ř"

# On failure, show what the game itself wrote too.
fail() {
    echo "FAIL: $*" >&2
    for f in stdout.txt stderr.txt; do
        [ -f "$RELEASE/$f" ] && { echo "--- $f:"; cat "$RELEASE/$f"; echo; } >&2
    done
    for f in stdout stderr; do [ -s "$WORK/$f" ] && { echo "--- Wine's $f:"; tail -20 "$WORK/$f"; } >&2; done
    exit 1
}

# Wine's server outlives the program; it must not outlive the test or keep the display.
wine_cleanup() {
    wineserver -k 2>/dev/null || true
    cleanup
}
trap wine_cleanup EXIT

# The game's window. A search can come back empty while Wine's own short-lived windows come and
# go; an empty id (or 0) would leave xwininfo waiting for a click, so it returns no such id.
game_window() {
    local window=""
    for _ in $(seq 50); do
        window=$(xdotool search --name '^Zembrak$' 2>/dev/null | head -n1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    echo "${window:-0x1}"
}

install_release() {
    rm -rf "$RELEASE"
    cp -r "$ZK_RELEASE" "$RELEASE"
    [ ! -e "$RELEASE/data/hiscore.txt" ] || fail "the archive holds a best score"
    [ ! -e "$RELEASE/config.txt" ] || fail "the archive holds settings"
}

# The Windows path of a Unix one.
windows_path() { printf 'Z:%s' "$(echo "$1" | tr / '\\')"; }
# The Windows path of the unpacked program, as a player's shortcut would give it.
# step_until_scored KEY FROM TO: presses KEY until the score on screen differs from FROM's,
# grabbed as TO. The Board is random: a figure that fell takes no step until it is back a
# second later, so a key pressed meanwhile is pressed again.
step_until_scored() {
    local press end
    for press in 1 2 3 4 5 6; do
        key "$1"
        end=$((SECONDS + 3))
        while [ $SECONDS -lt $end ]; do
            grab "$3"
            same "$2" "$3" "$SCORE_DIGITS" || return 0
            [ -z "$GAME_PID" ] || kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while waiting for $3"
            sleep 0.05
        done
    done
    fail "$1 pressed six times and the score did not change (waiting for $3)"
}

# step_twice_and_quit: in a run just started, Right and Down each score once; then Alt+F4
# ends the game with status 0.
step_twice_and_quit() {
    wait_for_play
    grab play0
    step_until_scored Right play0 stepped
    step_until_scored Down stepped stepped2
    key alt+F4
    expect_exit 0
}

windows_program_path() { printf '%s\\zembrak.exe' "$(windows_path "$RELEASE")"; }

# The prefix has no sound device, like many an office machine; the game plays its sound through
# SDL's dummy driver unless a test sets ZK_AUDIO_DRIVER to another, or to nothing.
ZK_AUDIO_DRIVER=dummy
# A command put before Wine, e.g. one that takes root's right to write anywhere.
WINE_AS=()
# NAME=VALUE variables set in the game's Windows environment.
WINE_ENV=()

# start_wine_game [COMMAND_LINE]: from another folder, $WORK/elsewhere, so the game must find
# its own. Without a command line or WINE_ENV, Wine starts the program by its full Windows
# path; otherwise a small launcher starts it with exactly that command line (relative, forward
# slashes...; by default the full path) and those variables. WINE_START=1 starts it through
# Wine's start, as Explorer and the Start menu do: without a console. The game's entry glue
# sends its output to stdout.txt and stderr.txt beside the program; Wine's own chatter goes to
# $WORK/stdout and $WORK/stderr.
WINE_START=0
start_wine_game() {
    local program=(wine "$(windows_program_path)") line=${1:-\"$(windows_program_path)\"}
    [ "$WINE_START" = 0 ] || program=(wine start /wait "$(windows_program_path)") line="start.exe /wait $line"
    if [ $# -gt 0 ] || [ ${#WINE_ENV[@]} -gt 0 ]; then
        [ -f "$WORK/launch.exe" ] ||
            x86_64-w64-mingw32-gcc -municode -O2 -Wall -o "$WORK/launch.exe" "$HERE/launch.c" ||
            fail "cannot build the launcher"
        program=(wine "$WORK/launch.exe" "$line" "${WINE_ENV[@]}")
    fi
    mkdir -p "$WORK/elsewhere"
    rm -f "$RELEASE/stdout.txt" "$RELEASE/stderr.txt"
    focus_follows_pointer
    xdotool mousemove 400 300
    (cd "$WORK/elsewhere" && exec env -u SDL_AUDIODRIVER ${ZK_AUDIO_DRIVER:+SDL_AUDIODRIVER=$ZK_AUDIO_DRIVER} \
        "${WINE_AS[@]}" "${program[@]}" >"$WORK/stdout" 2>"$WORK/stderr") &
    GAME_PID=$!
}

# Without a window manager the focus stays where the last program's window left it, which is
# nowhere once that window is gone, and Wine then gets no keys. A fresh server's focus
# follows the pointer; put it back that way before each start, with the pointer in the middle
# of the screen, where a centred window always is.
focus_follows_pointer() {
    python3 - <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
POINTER_ROOT = 1
x.XSetInputFocus(display, POINTER_ROOT, POINTER_ROOT, 0)
x.XCloseDisplay(display)
PY
}

# Polls until the game's window has the size WxH (Wine may resize it once after mapping).
# expect_window_size WxH WHAT
expect_window_size() {
    local geometry=""
    for _ in $(seq 100); do
        geometry=$(xwininfo -id "$(game_window)" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
        [ "$geometry" = "$1" ] && break
        sleep 0.1
    done
    expect_eq "$geometry" "$1" "$2"
}

# Exact bytes of a file the game wrote.
# expect_bytes FILE PRINTF_FORMAT
expect_bytes() {
    # shellcheck disable=SC2059
    printf "$2" >"$WORK/expected_bytes"
    [ -f "$1" ] || fail "missing file $1"
    cmp -s "$WORK/expected_bytes" "$1" ||
        fail "$1: expected [$(od -c "$WORK/expected_bytes" | head -6)], got [$(od -c "$1" | head -6)]"
}

# A file the game leaves empty: SDL's entry glue removes an empty stdout.txt or stderr.txt.
expect_no_output() {
    [ ! -s "$RELEASE/$1" ] || fail "$1 holds [$(cat "$RELEASE/$1")]"
}

# expect_windows_config WIDTH HEIGHT BPP FULLSCREEN SOUNDS MUSIC: config.txt as the game
# writes it on Windows, its nineteen lines ended by CR LF but the last.
expect_windows_config() {
    standard_config "$@" | sed '$!s/$/\r/' >"$WORK/expected_config"
    cmp -s "$WORK/expected_config" "$RELEASE/config.txt" ||
        fail "config.txt: expected [$(od -c "$WORK/expected_config" | head -4)...], got [$(od -c "$RELEASE/config.txt" | head -4)...]"
}

# A fatal error holds the game in a message box until the player closes it: waits for the box
# (a window named Zembrak too small to be the game's) while the game still runs, and presses
# Return on it, as a player would.
dismiss_message_box() {
    local box="" window width height left top
    for _ in $(seq 300); do
        for window in $(xdotool search --onlyvisible --name '^Zembrak$' 2>/dev/null); do
            read -r width height left top <<<"$(xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2}
                /Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4} END {print w, h, x, y}')"
            [ "${width:-0}" -lt 600 ] && [ "${height:-0}" -lt 300 ] && box=$window && break
        done
        [ -n "$box" ] && break
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without a message box"
        sleep 0.1
    done
    [ -n "$box" ] || fail "no message box"
    sleep 0.3
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while its message box was up"
    xdotool mousemove $((left + width / 2)) $((top + height / 2))
    key Return
}

# What Windows tells a program about the display, and what X reports, for comparing later.
build_display_report() {
    x86_64-w64-mingw32-gcc -O2 -Wall -o "$WORK/display_report.exe" "$HERE/display_report.c" -lgdi32 ||
        fail "cannot build the display report"
}
display_report() { wine "$WORK/display_report.exe" 2>/dev/null | tr -d '\r'; }
x_display_mode() { xrandr --current; }

# The reference: the Linux build's first title menu, with the highlight in its hidden phase.
# Leaves the grab in $WORK/linux_menu.ppm.
grab_linux_menu() {
    install_game
    write_config 0 0 0
    start_game
    wait_for_window
    wait_for_picture
    expect_blink_on 1
    cp "$WORK/$BLINK_DARK.ppm" "$WORK/linux_menu.ppm"
    key alt+F4
    expect_exit 0
}

# differing_pixels A B: pixels of two whole grabs that differ by more than 8 % in a colour.
differing_pixels() {
    local count
    count=$(compare -metric AE -fuzz 8% "$WORK/$1.ppm" "$WORK/$2.ppm" null: 2>&1 || true)
    echo "${count%%.*}"
}
