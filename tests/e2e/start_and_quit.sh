#!/usr/bin/env bash
# Starts from another folder, shows the title menu, ends on Alt+F4 with both files written.
# In full screen on a bare X server (no window manager) of another size or shape, at 800 x 600
# or at the screen's own size, the whole picture shows, scaled to the screen, with black bars
# where the shapes differ; the grabs are kept in $ZK_TEST_OUT when it is set.
source "$(dirname "$0")/lib.sh"
new_install 0 128 100
show_game
shot window
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

# as_window SHOT CROP NAME: that part of a grab at the window's size, the blinking menu labels
# blacked out.
as_window() {
    convert "$WORK/$1.png" -crop "$2" +repage -resize '800x600!' -fill black -draw 'rectangle 296,252 492,525' \
        "$WORK/$3.ppm"
}
as_window window 800x600+0+0 window_part
for sizes in 1024x768:800x600 1280x720:800x600 1280x720:1280x720; do
    IFS=: read -r screen size <<<"$sizes"
    kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null || true
    start_display "$screen"
    write_config 1 0 0 "${size%x*}" "${size#*x}"
    show_game
    sleep 1
    shot "fullscreen-$screen"
    key Return
    sleep 1
    shot "fullscreen-$screen-play"
    key alt+F4
    expect_exit 0
    [ -z "${ZK_TEST_OUT:-}" ] || { mkdir -p "$ZK_TEST_OUT" && for grab in "" -play; do
        cp "$WORK/fullscreen-$screen$grab.png" "$ZK_TEST_OUT/fullscreen-$screen-at-$size$grab.png"; done; }
    IFS=x read -r width height <<<"$screen"
    picture_width=$((height * 4 / 3 < width ? height * 4 / 3 : width))
    picture_height=$((picture_width * 3 / 4))
    left=$(((width - picture_width) / 2)) top=$(((height - picture_height) / 2))
    bars=$(convert "$WORK/fullscreen-$screen.png" -fill black -draw \
        "rectangle $left,$top $((left + picture_width - 1)),$((top + picture_height - 1))" -format '%[fx:maxima]' info:)
    expect_eq "$bars" 0 "the bars beside the picture at $size on a $screen screen"
    as_window "fullscreen-$screen" "${picture_width}x$picture_height+$left+$top" full_part
    differing=$(compare -metric AE -fuzz 20% "$WORK/window_part.ppm" "$WORK/full_part.ppm" null: 2>&1 || true)
    [ "${differing%%.*}" -lt 4800 ] ||
        fail "full screen at $size on a $screen screen: $differing of 480000 pixels differ from the window's picture"
    echo "full screen at $size on $screen: ${picture_width}x$picture_height at $left,$top; $differing pixels differ"
done
echo PASS
