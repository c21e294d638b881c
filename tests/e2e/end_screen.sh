#!/usr/bin/env bash
# Three characters lose their runs in a row. Each end screen is the result picture (logo,
# message banner, strip) and waits for Space alone; the next character starts in its own
# corner, and after the third one the title menu is back with "new game" selected and no
# run left to resume. The score carries over from character to character.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_screens.sh"
new_install
write_world 10

# The result picture is the background over the whole width, which repeats every 300 pixels
# across: the logo (325..475 x 207..392) shows against the plain copy 300 pixels right of
# it, and so do the banner (96..705 x 407..509) and the strip (96..705 x 509..577), whose
# plain copies lie right of x 705.
expect_result_picture() {
    same_at "$1" 150x185+25+208 "$1" 150x185+625+208 || fail "$1: no plain background beside the logo"
    [ "$(differing_share "$1" 150x185+325+208 "$1" 150x185+625+208)" -gt 300 ] || fail "$1: no logo"
    [ "$(differing_share "$1" 94x100+406+408 "$1" 94x100+706+408)" -gt 300 ] ||
        fail "$1: no message banner"
    [ "$(differing_share "$1" 94x66+406+510 "$1" 94x66+706+510)" -gt 300 ] || fail "$1: no strip"
}

# press_ignored RESULT KEY...: keys the end screen must not act on; a second later it still
# shows the same picture.
press_ignored() {
    local result=$1
    shift
    key "$@"
    sleep 1
    grab "$result-still"
    same "$result" "$result-still" ||
        fail "the end screen changed on $*: $(changed_box "$result" "$result-still")"
}

# next_run RESULT PLAY X Y: Space on the end screen starts the next character in sector
# (x, y) with four spare lives; PLAY is grabbed.
next_run() {
    key space
    wait_until_differs "$1" "$2" "$RIGHT_EDGE"
    expect_eq "$(spare_lives "$2")" 4 "spare lives of the next character"
    same_at play0 "$(map_mark 0 7)" "$2" "$(map_mark "$3" "$4")" ||
        fail "the minimap does not mark sector ($3, $4)"
    if same play0 "$2" "$(map_mark 0 7)"; then fail "the minimap still marks sector (0, 7)"; fi
    if same play0 "$2" "$SCORE_DIGITS"; then fail "the score went back to 0 for the next character"; fi
}

show_game
expect_blink_on 1
key Return
wait_until_differs "$BLINK_DARK" play0 "$RIGHT_EDGE"
cp "$WORK/play0.ppm" "$WORK/play.ppm"

# Character 0 from tile (0, 5) of sector (0, 7); every step to the right scores 2.
lose_run play Right 0 5 result1
echo "character 0: $RUN_FALLS falls, ${SECONDS}s in"
step_points=$((2 * RUN_FALLS))
expect_result_picture result1
press_ignored result1 Left Escape
next_run result1 play 7 7

# Character 1 from tile (5, 5) of sector (7, 7); its first step, back left, scores nothing.
lose_run play Left 5 5 result2
echo "character 1: $RUN_FALLS falls, ${SECONDS}s in"
step_points=$((step_points + 2 * (RUN_FALLS - 1)))
same result1 result2 || fail "the second lost run does not end on the same picture as the first"
next_run result2 play 7 0

# Character 2 from tile (5, 0) of sector (7, 0): the end of the game.
lose_run play Left 5 0 result3
echo "character 2: $RUN_FALLS falls, ${SECONDS}s in"
step_points=$((step_points + 2 * RUN_FALLS))
expect_result_picture result3
box=$(changed_box result1 result3)
box_within "$box" 96 407 705 577 ||
    fail "the end of the game changes $box of the picture, not only banner and strip"
box_reaches "$box" 200 440 600 540 ||
    fail "the end of the game changes only $box: not both banner and strip"
press_ignored result3 Return Escape Down

key space
wait_until_differs result3 menu "$RIGHT_EDGE"
expect_blink_on 1
key Up  # no run to resume: round to "quit"
expect_blink_on 5
key alt+F4
expect_exit 0
# The game's score, saved as the best, holds the steps of all three runs (and any Bonus).
best=$(cat "$WORK/game/data/hiscore.txt")
[ "$best" -ge $step_points ] || fail "best score $best after three runs with $step_points points from steps"
echo PASS
