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
    IFS=:x read -r width height size <<<"$sizes"
    kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null || true
    start_display "${width}x$height"
    write_config 1 0 0 "${size%x*}" "${size#*x}"
    name=fullscreen-${width}x$height-at-$size
    show_game && sleep 1 && shot "$name" && key Return && sleep 1 && shot "$name-play" && key alt+F4
    expect_exit 0
    [ -z "${ZK_TEST_OUT:-}" ] || { mkdir -p "$ZK_TEST_OUT" && cp "$WORK/$name"*.png "$ZK_TEST_OUT/"; }
    shown_width=$((height * 4 / 3 < width ? height * 4 / 3 : width)) shown_height=$((height * 4 / 3 < width ? height : width * 3 / 4))
    picture=${shown_width}x$shown_height+$(((width - shown_width) / 2))+$(((height - shown_height) / 2))
    bars=$(convert "$WORK/$name.png" -region "$picture" -fill black -colorize 100 +region -format '%[fx:maxima]' info:)
    as_window "$name" "$picture" full_part
    differing=$(compare -metric AE -fuzz 20% "$WORK/window_part.ppm" "$WORK/full_part.ppm" null: 2>&1 || true)
    [ "$bars" = 0 ] && [ "${differing%%.*}" -lt 4800 ] || fail "$name: bars $bars, $differing of 480000 pixels differ"
    echo "$name: the picture at $picture, black around it; $differing pixels differ from the window's"
done
echo PASS
