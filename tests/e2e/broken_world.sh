#!/usr/bin/env bash
# A missing or damaged World file ends start-up with its message; the settings are still saved.
source "$(dirname "$0")/lib.sh"
new_install
start_display

rm "$WORK/game/data/world.txt"
start_game
expect_exit 1
expect_eq "$(od -c "$WORK/stderr" | head -3)" "$(printf 'ERROR opening file data\\world.txt\n\n' | od -c | head -3)" "stderr"
[ -f "$WORK/game/config.txt" ] && [ -f "$WORK/game/data/hiscore.txt" ] || fail "files not saved after fatal"

head -c 300 /dev/urandom >"$WORK/game/data/world.txt"
start_game
expect_exit 1
expect_eq "$(cat "$WORK/stderr")" 'chyba pri nacitani mapy: data\world.txt' "stderr for junk"
echo PASS
