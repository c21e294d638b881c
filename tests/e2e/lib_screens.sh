# Screen reading for the menu, page, end-screen and sound tests. Source it after lib.sh.
# Grabs are uncompressed PPM files in $WORK: a PNG grab costs about ten times as long, and
# the waits grab several times a second. Places are screen pixels, x from the left and y
# from the top of the 800 x 600 window (y = 600 - view y); a part is WxH+X+Y.

# The right end of the screen: side panel in play, plain background on the menu, its pages
# and the result picture.
RIGHT_EDGE=30x600+770+0

# grab NAME [PART]: the whole screen, or one part of it, as $WORK/NAME.ppm.
grab() {
    if [ $# -gt 1 ]; then
        import -silent -window root -crop "$2" +repage -depth 8 "ppm:$WORK/$1.ppm"
    else
        import -silent -window root -depth 8 "ppm:$WORK/$1.ppm"
    fi
}

# same A B [PART]: true when two grabs are equal pixel for pixel (in that part only).
same() {
    local region=${3:+[$3]} count
    count=$(compare -metric AE "$WORK/$1.ppm$region" "$WORK/$2.ppm$region" null: 2>&1 || true)
    [ "$count" = 0 ]
}

# same_at A PART_A B PART_B: true when a part of one grab equals another part of another.
same_at() {
    local count
    count=$(compare -metric AE "$WORK/$1.ppm[$2]" "$WORK/$3.ppm[$4]" null: 2>&1 || true)
    [ "$count" = 0 ]
}

# differing_share A PART_A B PART_B: how many pixels of a thousand differ by more than 5 %.
differing_share() {
    local w h count
    IFS='x+' read -r w h _ _ <<<"$2"
    count=$(compare -metric AE -fuzz 5% "$WORK/$1.ppm[$2]" "$WORK/$3.ppm[$4]" null: 2>&1 || true)
    echo $((${count%%.*} * 1000 / (w * h)))
}

# changed_box A B: the box round every pixel that differs between two grabs, or "none".
changed_box() {
    if same "$1" "$2"; then echo none; return; fi
    convert "$WORK/$1.ppm" "$WORK/$2.ppm" -compose difference -composite -threshold 0 \
        -format '%@' info: 2>/dev/null
}

# box_within BOX X0 Y0 X1 Y1: true when the box lies within the pixels x0..x1, y0..y1.
box_within() {
    local w h x y
    IFS='x+' read -r w h x y <<<"$1"
    [ "$1" != none ] && [ "$x" -ge "$2" ] && [ "$y" -ge "$3" ] &&
        [ $((x + w - 1)) -le "$4" ] && [ $((y + h - 1)) -le "$5" ]
}

# box_reaches BOX X0 Y0 X1 Y1: true when the box reaches out at least to x0..x1, y0..y1.
box_reaches() {
    local w h x y
    IFS='x+' read -r w h x y <<<"$1"
    [ "$1" != none ] && [ "$x" -le "$2" ] && [ "$y" -le "$3" ] &&
        [ $((x + w - 1)) -ge "$4" ] && [ $((y + h - 1)) -ge "$5" ]
}

# wait_until_differs REF NAME [PART] [SECONDS]: grabs NAME until it differs from REF (in that
# part only, when one is given).
wait_until_differs() {
    local end=$((SECONDS + ${4:-30}))
    while [ $SECONDS -lt $end ]; do
        grab "$2"
        same "$1" "$2" "${3:-}" || return 0
        [ -z "$GAME_PID" ] || kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while waiting for $2"
        sleep 0.05
    done
    fail "the screen did not change within ${4:-30}s (waiting for $2)"
}

# wait_for SECONDS WHAT COMMAND...: runs the command until it succeeds.
wait_for() {
    local limit=$1 end=$((SECONDS + $1)) what=$2
    shift 2
    while [ $SECONDS -lt $end ]; do
        "$@" && return 0
        [ -z "$GAME_PID" ] || kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while waiting for $what"
        sleep 0.05
    done
    fail "no $what within ${limit}s"
}

# --- Title menu -----------------------------------------------------------------------------
# Six labels 196 x 45.5 at x 296..492, label i from y 252 + 45.5 i down:
# 0 resume, 1 new game, 2 controls, 3 how to play, 4 items and score, 5 quit.
BLINK_GRABS=0  # every grab gets its own name, so earlier results stay
MENU_LABEL_TOPS=(252 297 343 388 434 479 525)
MENU_LABELS=196x273+296+252

# A highlighted label is a bright bar: its mean grey is about 0.53, a plain label's 0.15.
LABEL_LIT=350

# lit_labels NAME: the labels drawn highlighted in a grab, e.g. "1", or "" for none.
lit_labels() {
    local format="" i mean means lit=""
    for i in 0 1 2 3 4 5; do format="$format%[fx:int(1000*p{0,$i})] "; done
    # Each label squeezed into one pixel: its mean grey.
    means=$(convert "$WORK/$1.ppm[$MENU_LABELS]" -colorspace gray -scale '1x6!' -format "$format" info:)
    i=0
    for mean in $means; do
        [ "$mean" -gt $LABEL_LIT ] && lit="$lit$i"
        i=$((i + 1))
    done
    echo "$lit"
}

# expect_blink_on LABEL [SECONDS]: grabs until that label is lit (a key that moves the
# highlight, or closes a page, may take a moment), then until nothing is lit, and checks that
# the two grabs differ only inside that label: its highlight, and nothing else, blinks.
# Leaves the grabs in BLINK_LIT and BLINK_DARK.
expect_blink_on() {
    local label=$1 end=$((SECONDS + ${2:-30})) lit seen="" box top bottom name
    top=${MENU_LABEL_TOPS[$label]} bottom=${MENU_LABEL_TOPS[$((label + 1))]}
    BLINK_LIT="" BLINK_DARK=""
    while [ $SECONDS -lt $end ]; do
        BLINK_GRABS=$((BLINK_GRABS + 1))
        name=blink$BLINK_GRABS
        grab "$name"
        lit=$(lit_labels "$name")
        if [ "$lit" = "$label" ]; then
            BLINK_LIT=$name
        elif [ -z "$BLINK_LIT" ]; then
            seen="$seen ${lit:-none}"
        elif [ -z "$lit" ]; then
            BLINK_DARK=$name
            box=$(changed_box "$BLINK_LIT" "$BLINK_DARK")
            box_within "$box" 296 "$top" 492 "$bottom" ||
                fail "the blink of label $label changes $box, not only 296..492 x $top..$bottom"
            return 0
        else
            fail "label(s) $lit lit after label $label was"
        fi
        sleep 0.02
    done
    fail "label $label did not blink within ${2:-30}s (lit: ${BLINK_LIT:-never}; before:${seen:0:200})"
}

# --- Side panel in play ---------------------------------------------------------------------
PANEL=200x600+600+0
SCORE_DIGITS=128x16+636+399  # room for eight digits centred at x 700
BEST_DIGITS=128x16+636+467
LIVES_BOX=136x136+632+215

# map_mark X Y: the part where the minimap marks sector (x, y) as the current one.
map_mark() { echo "16x16+$((619 + 21 * $1))+$((600 - 416 - 21 * $2 - 18))"; }

# spare_lives NAME: how many spare-life icons (up to 16) a grab of play shows. Icons are 32
# apart, four to a row from (636, 219); an empty place is plain box colour.
spare_lives() {
    convert "$WORK/$1.ppm[128x128+636+219]" +repage -crop 32x32 -shave 2x2 \
        -format '%[fx:standard_deviation>0.05?1:0]' info: | tr -cd 1 | wc -c
}

# --- Losing a run ---------------------------------------------------------------------------
# In a World of fast levels a tile next to the respawn tile soon crumbles under the figure.
# A run may gain one spare life: at most one Heart shows up before the first edge crossing.

# figure_cell X Y: the part where the figure stands on tile (x, y).
figure_cell() { echo "32x32+$((58 + 90 * $1))+$((509 - 90 * $2))"; }

# fall PLAY KEY X Y: steps with KEY off the respawn tile (x, y) and waits until the figure
# has fallen and stands there again (FALL_RESULT=back) or the result picture is up
# (FALL_RESULT=end). PLAY names a grab with the figure on the respawn tile; it is replaced
# by a grab after the fall.
fall() {
    local cell end=$((SECONDS + 60))
    cell=$(figure_cell "$3" "$4")
    key "$2"
    # Small grabs while waiting: the game gets the processor time it ages the tiles with.
    while [ $SECONDS -lt $end ]; do
        grab gone "$cell"
        same_at "$1" "$cell" gone 32x32+0+0 || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during a fall"
    while [ $SECONDS -lt $end ]; do
        sleep 0.1
        # The result picture stays once it is up: a grab of the edge after the one of the
        # tile sees it whenever the tile does.
        grab back "$cell"
        grab edge "$RIGHT_EDGE"
        if ! same_at "$1" "$RIGHT_EDGE" edge 30x600+0+0; then
            FALL_RESULT=end
            break
        elif ! same back gone; then
            FALL_RESULT=back
            break
        fi
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during a fall"
    done
    if [ $SECONDS -ge $end ]; then
        grab stuck1 && sleep 1 && grab stuck2
        same stuck1 stuck2 && fail "no end to a fall within 60s, and the screen stands still"
        fail "no end to a fall within 60s, though the screen still changes"
    fi
    grab "$1"
}

# lose_run PLAY KEY X Y RESULT: falls from four spare lives until the result picture is up
# and grabs it as RESULT; each fall costs a spare life, except one that a Heart makes up
# for. Sets RUN_FALLS.
lose_run() {
    local lives after hearts=0
    lives=$(spare_lives "$1")
    expect_eq "$lives" 4 "spare lives at the start of a run"
    RUN_FALLS=0
    while [ $RUN_FALLS -lt 6 ]; do
        RUN_FALLS=$((RUN_FALLS + 1))
        fall "$1" "$2" "$3" "$4"
        if [ "$FALL_RESULT" = end ]; then
            expect_eq "$lives" 0 "spare lives before the run ended"
            cp "$WORK/$1.ppm" "$WORK/$5.ppm"
            return 0
        fi
        after=$(spare_lives "$1")
        if [ "$after" = "$lives" ] && [ $hearts = 0 ]; then
            hearts=1
        else
            expect_eq "$after" $((lives - 1)) "spare lives after fall $RUN_FALLS"
        fi
        lives=$after
    done
    fail "the run did not end after six falls"
}
