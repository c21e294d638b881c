#!/usr/bin/env bash
# Starts from another folder, shows the title menu, ends on Alt+F4 with both files written.
source "$(dirname "$0")/lib.sh"
new_install 0 128 100
show_game
key alt+F4
expect_exit 0
expect_eq "$(cat "$WORK/stdout")" 'Could not load hiscore from data\hiscore.txt' "stdout"
expect_eq "$(cat "$WORK/stderr")" "" "stderr"
expect_file "$WORK/game/data/hiscore.txt" 0
expected_config='# soubor nastaveni (defaultni hodnoty)

# rozliseni sirka (800)
SCREEN_WIDTH: 800

# rozliseni vyska (600)
SCREEN_HEIGHT: 600

# barevna hloubka v bitech (32)
BPP: 32

# 1 - fullscren, 0 - okno (1)
FULLSCREEN: 0

# 0 - zvuky vypnute, 128 - maximalni hlasitost zvuku (128)
SOUNDS: 128

# 0 - hudba vypnuta, 128 - maximalni hlasitost hudby (100)
MUSIC: 100'
expect_file "$WORK/game/config.txt" "$expected_config"
[ -n "$(tail -c1 "$WORK/game/config.txt")" ] || fail "config.txt must not end with a line end"
echo PASS
