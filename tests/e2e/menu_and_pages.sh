#!/usr/bin/env bash
# The first title menu: its highlight blinks on "new game" and nothing else on the
# screen changes; Up and Down move it and wrap round without reaching "resume"; each picture
# page covers its own part of the screen and the key that closes it does nothing else;
# Return on "quit" ends the program with both files written.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_screens.sh"
new_install
show_game

expect_blink_on 1
menu=$BLINK_DARK
# With no run the highlight is shown as long as it is hidden.

key Up  # no resume item without a run: round to "quit"
expect_blink_on 5
key Down  # and round again to "new game"
expect_blink_on 1
key Down
expect_blink_on 2

# expect_page LABEL NAME X0 Y0 X1 Y1 CLOSE_KEY: Return on the label shows a page covering
# x0..x1, y0..y1; CLOSE_KEY closes it and leaves the highlight where it was.
expect_page() {
    local label=$1 name=$2 x0=$3 y0=$4 x1=$5 y1=$6 box
    key Return
    # Left of the labels, where only a page changes the menu.
    wait_until_differs "$menu" "$name" 100x100+180+300
    box=$(changed_box "$menu" "$name")
    # No label is drawn with a page: the top of the first one lies above the controls page.
    box_within "$box" "$x0" "$((y0 < 252 ? y0 : 252))" "$x1" "$y1" ||
        fail "page $name changes $box, beyond $x0..$x1 x $y0..$y1"
    box_reaches "$box" $((x0 + 3)) $((y0 + 3)) $((x1 - 3)) $((y1 - 3)) ||
        fail "page $name changes only $box of $x0..$x1 x $y0..$y1"
    key "$7"
    expect_blink_on "$label"
    same "$BLINK_DARK" "$menu" || fail "the menu after page $name is not the menu before it"
}
expect_page 2 controls 147 257 665 525 Down
key Down
expect_blink_on 3
expect_page 3 how_to_play 21 209 782 592 Return
key Down
expect_blink_on 4
expect_page 4 items 27 219 774 574 Up

key Down
expect_blink_on 5
key Return
expect_exit 0
expect_eq "$(cat "$WORK/stdout")" 'Could not load hiscore from data\hiscore.txt' "stdout"
expect_file "$WORK/game/data/hiscore.txt" 0
expect_eq "$(head -3 "$WORK/game/config.txt")" "$STANDARD_CONFIG_HEAD" "head of config.txt"
for line in 'FULLSCREEN: 0' 'SOUNDS: 0' 'MUSIC: 0'; do
    grep -qx "$line" "$WORK/game/config.txt" || fail "config.txt lacks [$line]"
done
echo PASS
