# Shared steps of the tests of how the game ends, its saved files and long runs.
# Source after lib.sh.

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The two saved files as the game writes them: the best score alone, and the settings in
# their 19 lines with no line end after the last one.
# expect_saved HISCORE WIDTH HEIGHT BPP FULLSCREEN SOUNDS MUSIC
expect_saved() {
    local best=$1
    shift
    printf '%s' "$best" >"$WORK/expected_hiscore"
    standard_config "$@" >"$WORK/expected_config"
    [ -f "$WORK/game/data/hiscore.txt" ] || fail "data/hiscore.txt not written"
    [ -f "$WORK/game/config.txt" ] || fail "config.txt not written"
    cmp -s "$WORK/expected_hiscore" "$WORK/game/data/hiscore.txt" ||
        fail "data/hiscore.txt: expected [$best], got [$(cat "$WORK/game/data/hiscore.txt")]"
    cmp -s "$WORK/expected_config" "$WORK/game/config.txt" ||
        fail "config.txt differs: $(diff "$WORK/expected_config" "$WORK/game/config.txt" | head -20)"
    local leftovers
    leftovers=$(ls -A "$WORK/game" "$WORK/game/data" | grep -E '^(config|hiscore)\.txt.' || true)
    [ -z "$leftovers" ] || fail "a temporary file was left behind: $leftovers"
}

# standard_config WIDTH HEIGHT BPP FULLSCREEN SOUNDS MUSIC
standard_config() {
    printf '%s\nSCREEN_WIDTH: %s\n\n# rozliseni vyska (600)\nSCREEN_HEIGHT: %s\n\n# barevna hloubka v bitech (32)\nBPP: %s\n\n# 1 - fullscren, 0 - okno (1)\nFULLSCREEN: %s\n\n# 0 - zvuky vypnute, 128 - maximalni hlasitost zvuku (128)\nSOUNDS: %s\n\n# 0 - hudba vypnuta, 128 - maximalni hlasitost hudby (100)\nMUSIC: %s' \
        "$STANDARD_CONFIG_HEAD" "$@"
}

# Fails on a report of the address or undefined-behaviour sanitizer (sanitizer build).
expect_no_sanitizer_report() {
    if grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:|^SUMMARY: ' "$WORK/stderr"; then
        fail "sanitizer report"
    fi
}

# Exact bytes of what the game printed: "$(cat)" would hide missing or extra line ends.
# expect_output stdout|stderr PRINTF_FORMAT
expect_output() {
    # shellcheck disable=SC2059
    printf "$2" >"$WORK/expected_$1"
    cmp -s "$WORK/expected_$1" "$WORK/$1" ||
        fail "$1: expected [$(od -c "$WORK/expected_$1" | head -8)], got [$(od -c "$WORK/$1" | head -8)]"
}

# The game keeps no count of its textures and display lists, so a small library put in front
# of libGL counts the names it was given and has not deleted yet, and how often it deleted a
# name it did not hold. It writes the three numbers to $WORK/gl_counts after every such call.
# Start the game with start_game_as "${GL_COUNTER[@]}" after build_gl_counter; in the
# sanitizer build add $GL_COUNTER_ASAN to ZK_ASAN_EXTRA (the sanitizer wants to be the first
# library; the counter comes before it, which is harmless).
build_gl_counter() {
    "${CC:-cc}" -shared -fPIC -O1 -o "$WORK/gl_count.so" "$E2E_DIR/gl_count.c" -ldl || fail "cannot build the GL counter"
}
GL_COUNTER=(env LD_PRELOAD="$WORK/gl_count.so" ZK_GL_COUNTS="$WORK/gl_counts")
GL_COUNTER_ASAN=verify_asan_link_order=0

# expect_gl_held TEXTURES LISTS: what the game holds now, and no name deleted that it did not hold.
expect_gl_held() {
    expect_eq "$(awk '{print $1, $2, $3}' "$WORK/gl_counts")" "$1 $2 0" "textures and display lists held, foreign deletes"
}

# Root passes every permission check; without these capabilities it meets the modes of
# the files like anyone else. Empty for other users, who meet them anyway.
WITHOUT_OVERRIDE=()
if [ "$(id -u)" = 0 ]; then
    WITHOUT_OVERRIDE=(setpriv --bounding-set=-dac_override,-dac_read_search,-fowner --)
fi

game_window() { xdotool search --name '^Zembrak$' | head -n1; }
root_window() { xwininfo -root | awk '/Window id:/ {print $4}'; }

# Without a window manager the keyboard focus stays where it was put last: moving it to the
# root window makes the game lose the input focus, moving it back to the game's window gives
# it back. Keys still reach the game meanwhile, as the pointer stays over its window.
focus_away() { xdotool windowfocus "$(root_window)"; }
focus_back() { xdotool windowfocus "$(game_window)"; }

# Asks the game's window to close the way a window manager does (WM_PROTOCOLS message with
# WM_DELETE_WINDOW), which SDL turns into SDL_QUIT.
close_window() {
    python3 "$E2E_DIR/close_window.py" "$(game_window)"
}

# The game's main thread, seen through /proc.
main_thread() { echo "/proc/$GAME_PID/task/$GAME_PID"; }
main_cpu_ticks() { awk '{print $14 + $15}' "$(main_thread)/stat"; }
# Bytes the main thread has read from files. After start-up only a rebuild of the graphics
# reads files there (music streams on the audio thread, X traffic is not counted), so each
# rebuild adds the same large amount.
main_read_bytes() { awk '/^rchar:/ {print $2}' "$(main_thread)/io"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$GAME_PID/status"; }

# Looks at the main thread ten times in a second. Prints how many of those looks found it
# asleep between looks at the event queue, which is how it waits for an event (a paused
# game, a picture page, an end screen), and the processor ticks it used meanwhile. Play and
# the menu draw all the time and are never found so.
sample_main_thread() {
    local asleep=0 before
    before=$(main_cpu_ticks)
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        grep -q nanosleep "$(main_thread)/wchan" 2>/dev/null && asleep=$((asleep + 1))
        sleep 0.1
    done
    echo "$asleep $(($(main_cpu_ticks) - before))"
}

# Polls until the game waits for an event.
wait_until_waiting() {
    local limit=${1:-60} asleep ticks
    for _ in $(seq "$limit"); do
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended instead of waiting"
        read -r asleep ticks <<<"$(sample_main_thread)"
        [ "$asleep" -ge 7 ] && [ "$ticks" -le 3 ] && return 0
    done
    fail "the game did not come to wait for an event within ${limit}s"
}

# Polls until the game draws again.
wait_until_drawing() {
    local limit=${1:-60} asleep ticks
    for _ in $(seq "$limit"); do
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended instead of drawing"
        read -r asleep ticks <<<"$(sample_main_thread)"
        [ "$asleep" -le 2 ] && return 0
    done
    fail "the game did not draw again within ${limit}s"
}

# Play shows the minimap, yellow cells, where the menu and its pages show the dark sky.
showing_play() {
    shot probe
    local rgb r g b
    rgb=$(pixel probe 745 140)
    IFS=, read -r r g b <<<"$rgb"
    [ "$r" -gt 150 ] && [ "$g" -gt 120 ] && [ "$b" -lt 80 ]
}

wait_for_play() {
    for _ in $(seq 150); do
        showing_play && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before play showed"
        sleep 0.2
    done
    fail "play did not show"
}

wait_for_menu() {
    for _ in $(seq 150); do
        showing_play || return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before the menu showed"
        sleep 0.2
    done
    fail "the menu did not show"
}
