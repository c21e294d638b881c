#!/usr/bin/env bash
# Fatal errors: a missing or damaged picture or alpha mask, a broken World file, SDL that
# cannot start. Each prints its one message to stderr and ends with status 1, never with a
# crash or a sanitizer report. Once SDL has started both files are still written and the
# textures made so far released; when SDL itself fails nothing is written.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_exit.sh"
start_display
build_gl_counter

# Fixed bytes, so that a failure can be repeated: junk SEED COUNT PREFIX
junk() {
    python3 -c 'import random, sys
r = random.Random(int(sys.argv[1]))
sys.stdout.buffer.write(sys.argv[3].encode() + bytes(r.randrange(256) for _ in range(int(sys.argv[2]))))' "$@"
}

fresh() {
    rm -rf "$WORK/game" "$WORK/gl_counts"
    new_install 0 128 0
}

# fails_with NAME STDERR_FORMAT [PREFIX...]: started after the damage was done.
fails_with() {
    local name=$1 message=$2
    shift 2
    ZK_ASAN_EXTRA=$GL_COUNTER_ASAN start_game_as "$@" "${GL_COUNTER[@]}"
    expect_exit 1
    expect_no_sanitizer_report
    expect_output stderr "$message"
    expect_output stdout 'Could not load hiscore from data\\hiscore.txt'
    expect_saved 0 800 600 32 0 128 0
    # A picture that fails half way through the set: what was made so far is released.
    [[ $message != Cannot* ]] || expect_gl_held 0 0
    echo "ok: $name"
}

data=$WORK/game/data

fresh
rm "$data/panel.jpg"
fails_with "missing picture" 'Cannot load texture from data\\panel.jpg.\n'

fresh
head -c 300 "$ZK_DATA/menu.jpg" >"$data/menu.jpg"
fails_with "JPEG cut short" 'Cannot load texture from data\\menu.jpg.\n'

fresh
junk 11 4000 BM >"$data/kruh.bmp"
fails_with "junk with a BMP signature as the picture" 'Cannot load texture from data\\kruh.bmp.\n'

fresh
junk 12 4000 '' >"$data/zembra.jpg"
fails_with "junk as a JPEG picture" 'Cannot load texture from data\\zembra.jpg.\n'

fresh
rm "$data/kruh_a.bmp"
fails_with "missing mask" 'Cannot load alpha mask from data\\kruh_a.bmp.\n'

fresh
convert -size 64x64 xc:gray -type Grayscale -depth 8 "BMP3:$data/kruh_a.bmp"
fails_with "mask of the wrong size" 'Cannot load alpha mask from data\\kruh_a.bmp.\n'

fresh
convert -size 128x128 xc:gray -type TrueColor "BMP3:$data/kruh_a.bmp"
fails_with "24-bit mask" 'Cannot load alpha mask from data\\kruh_a.bmp.\n'

fresh
junk 13 4000 BM >"$data/panak_a.bmp"
fails_with "junk as a mask" 'Cannot load alpha mask from data\\panak_a.bmp.\n'

fresh
chmod 000 "$data/kruh_a.bmp"
fails_with "unreadable mask" 'Cannot load alpha mask from data\\kruh_a.bmp.\n' "${WITHOUT_OVERRIDE[@]}"

fresh
: >"$data/world.txt"
fails_with "empty World file" 'chyba pri nacitani mapy: data\\world.txt\n\n'

fresh
junk 14 3000 '' >"$data/world.txt"
fails_with "binary junk as the World file" 'chyba pri nacitani mapy: data\\world.txt\n\n'

# A level the rules have no row for.
fresh
{
    for _ in 1 2 3 4 5 6 7 8; do echo 0000000000000000; done
    for _ in 1 2 3 4 5 6 7; do echo '0;0;0;0;0;0;0;0;'; done
    echo '0;0;0;11;0;0;0;0;'
} >"$data/world.txt"
fails_with "World file with level 11" 'chyba pri nacitani mapy: data\\world.txt\n\n'

# SDL cannot start: the exit handler is not registered yet, so nothing is written. (A failing
# sound driver is no reason to stop: sound.sh.)
for driver in SDL_VIDEODRIVER; do
    fresh
    cp "$WORK/game/config.txt" "$WORK/config.before"
    start_game_as env "$driver=nonexistent"
    expect_exit 1
    expect_no_sanitizer_report
    grep -qE '^Cannot initialize SDL: .+\.$' "$WORK/stderr" && [ "$(wc -l <"$WORK/stderr")" = 1 ] &&
        [ "$(tail -c1 "$WORK/stderr" | od -An -c | tr -d ' ')" = '\n' ] || fail "stderr for $driver"
    expect_output stdout 'Could not load hiscore from data\\hiscore.txt'
    [ ! -e "$data/hiscore.txt" ] || fail "the best score file was written"
    cmp -s "$WORK/config.before" "$WORK/game/config.txt" || fail "config.txt was written"
    echo "ok: SDL cannot start ($driver=nonexistent)"
done

echo PASS
