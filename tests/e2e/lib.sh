# Shared steps of the end-to-end tests: each test gets its own folder with a copy of the
# program and its data, its own Xvfb display, and real key presses through xdotool.
# Usage: source lib.sh PROGRAM DATA_DIR
set -euo pipefail

ZK_PROGRAM=$1
ZK_DATA=$2
WORK=$(mktemp -d /tmp/zk-e2e-XXXXXX)
GAME_PID=""
XVFB_PID=""

cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    if [ "${KEEP_WORK:-0}" = 1 ]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for f in stdout stderr; do [ -f "$WORK/$f" ] && { echo "--- $f:"; cat "$WORK/$f"; echo; } >&2; done
    exit 1
}

install_game() {
    mkdir -p "$WORK/game"
    cp "$ZK_PROGRAM" "$WORK/game/zembrak"
    cp -r "$ZK_DATA" "$WORK/game/data"
    rm -f "$WORK/game/data/hiscore.txt"
}

# new_install [FULLSCREEN SOUNDS MUSIC [WIDTH HEIGHT]]: a fresh copy of the game with these
# settings, all off by default.
new_install() {
    install_game
    write_config "${1:-0}" "${2:-0}" "${3:-0}" "${4:-800}" "${5:-600}"
}

# write_world LEVEL: a World without walls, every sector at LEVEL (0 keeps the figure on its
# feet for a while, 10 soon crumbles a tile under it).
write_world() {
    {
        echo "# no walls, level $1 everywhere"
        for _ in 1 2 3 4 5 6 7 8; do echo 0000000000000000; done
        for _ in 1 2 3 4 5 6 7 8; do printf "$1;%.0s" 1 2 3 4 5 6 7 8 && echo; done
    } >"$WORK/game/data/world.txt"
}

# config FULLSCREEN SOUNDS MUSIC [WIDTH HEIGHT]
write_config() {
    printf 'SCREEN_WIDTH: %s\nSCREEN_HEIGHT: %s\nBPP: 32\nFULLSCREEN: %s\nSOUNDS: %s\nMUSIC: %s\n' \
        "${4:-800}" "${5:-600}" "$1" "$2" "$3" >"$WORK/game/config.txt"
}

# -noreset: a game started just as the previous one leaves must not meet a resetting server.
start_display() {
    local size=${1:-800x600}
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$WORK/display" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
    [ -s "$WORK/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$WORK/display")"
}

# Starts the game from another folder, so it must find its data by itself. In the sanitizer
# build, leak reports are off for the whole program: the GL driver, D-Bus and SDL keep
# allocations until exit that are not ours. Memory errors and undefined behaviour still abort.
start_game() { start_game_as; }

# The same with a command put before the program (e.g. one that drops privileges or sets the
# environment) and extra sanitizer options from ZK_ASAN_EXTRA; ZK_START_PATH starts it by
# another path (a link to it, say). The player's own folders, where
# files go that cannot be saved beside the program, lie in the test's folder too.
PLAYER_CONFIG="$WORK/player/config/zembrak"
PLAYER_DATA="$WORK/player/data/zembrak"
start_game_as() {
    mkdir -p "$WORK/elsewhere"
    (cd "$WORK/elsewhere" && exec env SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-x11}" \
        XDG_CONFIG_HOME="$WORK/player/config" XDG_DATA_HOME="$WORK/player/data" \
        ASAN_OPTIONS="detect_leaks=0:abort_on_error=0:exitcode=99${ZK_ASAN_EXTRA:+:$ZK_ASAN_EXTRA}" \
        "$@" "${ZK_START_PATH:-$WORK/game/zembrak}" ${ZK_ARGS:-} >"$WORK/stdout" 2>"$WORK/stderr") &
    GAME_PID=$!
}

# Runs the game to its end with ARGS, from the same folder and environment as start_game;
# its output goes to $WORK/run.out and $WORK/run.err. Prints the exit status.
run_game() {
    local status=0
    (cd "$WORK/elsewhere" && exec env SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$WORK/player/config" \
        XDG_DATA_HOME="$WORK/player/data" ASAN_OPTIONS="detect_leaks=0:abort_on_error=0:exitcode=99" \
        timeout 300 "$WORK/game/zembrak" "$@" >"$WORK/run.out" 2>"$WORK/run.err") || status=$?
    echo "$status"
}

# show_game [COMMAND...]: starts the game (on a display of its own if none is up yet), as
# start_game_as does, and returns once its first picture shows.
show_game() {
    [ -n "$XVFB_PID" ] || start_display
    start_game_as "$@"
    wait_for_window
    wait_for_picture
}

# ZK_CAPTION: the window's caption, if not the game's name alone.
wait_for_window() {
    for _ in $(seq 900); do
        xdotool search --name "^${ZK_CAPTION:-Zembrak}\$" >/dev/null 2>&1 && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
        sleep 0.1
    done
    fail "no window"
}

key() { xdotool key --delay 60 "$@"; }

shot() { import -window root "$WORK/$1.png"; }

# pixel SHOT X Y -> "r,g,b" in 0..255
pixel() { convert "$WORK/$1.png" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:; }

# Waits for the game to end and checks its exit status (not in a subshell: wait needs the parent).
expect_exit() {
    local expected=$1 limit=${2:-60} status=0
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            wait "$GAME_PID" || status=$?
            GAME_PID=""
            expect_eq "$status" "$expected" "exit status"
            return 0
        fi
        sleep 0.1
    done
    fail "the game did not end within ${limit}s"
}

expect_eq() {
    [ "$1" = "$2" ] || fail "$3: expected [$2], got [$1]"
}

expect_file() {
    [ -f "$1" ] || fail "missing file $1"
    expect_eq "$(cat "$1")" "$2" "contents of $1"
}

# Polls until the screen shows something other than black (the first frame is up).
wait_for_picture() {
    for _ in $(seq 150); do
        shot first
        [ "$(convert "$WORK/first.png" -format '%[fx:maxima.r+maxima.g+maxima.b>0]' info:)" = 1 ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before drawing"
        sleep 0.2
    done
    fail "nothing drawn"
}

STANDARD_CONFIG_HEAD='# soubor nastaveni (defaultni hodnoty)

# rozliseni sirka (800)'
