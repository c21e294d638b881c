#!/bin/sh
# mockup.sh DATA_DIR OUT.png - composes a play screen from the pictures with
# ImageMagick (nearest filtering, like the game) to judge the art together.
set -e
D=$1; OUT=$2; T=$(mktemp -d)
P="-filter point -resize"
masked() { # masked PIC MASK CROP OUT
  convert "$1" -crop "$3" +repage \( "$2" -type TrueColor -colorspace gray -crop "$3" +repage \) \
    -alpha off -compose CopyOpacity -composite PNG32:"$4"
}
convert "$D/bkground.jpg" $P 300x300! -write mpr:bg +delete -size 600x600 tile:mpr:bg "$T/field.png"
masked "$D/kruh.bmp" "$D/kruh_a.bmp" 90x90+0+0 "$T/tile.png"
masked "$D/zembra.jpg" "$D/zembra_a.bmp" 90x90+166+166 "$T/crumb.png"
masked "$D/zembra.jpg" "$D/zembra_a.bmp" 88x90+168+0 "$T/goal.png"
masked "$D/zembra.jpg" "$D/zembra_a.bmp" 32x32+0+224 "$T/heart.png"
masked "$D/zembra.jpg" "$D/zembra_a.bmp" 32x32+32+224 "$T/bonus.png"
masked "$D/panak.bmp" "$D/panak_a.bmp" 32x32+0+0 "$T/p0.png"
masked "$D/panak1.bmp" "$D/panak_a.bmp" 32x32+0+0 "$T/p1.png"
masked "$D/panak2.bmp" "$D/panakd.bmp" 32x32+0+0 "$T/p2d.png"
masked "$D/font.bmp" "$D/font_a.bmp" 256x16+0+0 "$T/font.png"
cp "$T/field.png" "$T/screen.png"
put() { convert "$T/screen.png" \( "$1" $P "$2"! \) -geometry "+$3+$4" -compose over -composite "$T/screen.png"; }
# 6 x 6 board in 30..570: stage sizes, a crumbling tile, holes and the goal
i=0
for size in 90 83 76 69 62 55 48 41 34 25 90 86 crumb hole 90 72 58 hole 90 80 70 60 50 40 90 goal 90 crumb 66 30 90 88 hole 76 90 44; do
  cx=$((30 + (i % 6) * 90 + 45)); cy=$((30 + (i / 6) * 90 + 45)); i=$((i + 1))
  case $size in
    hole) ;;
    crumb) put "$T/crumb.png" 90x90 $((cx - 45)) $((cy - 45)) ;;
    goal) put "$T/goal.png" 90x90 $((cx - 45)) $((cy - 45)) ;;
    *) put "$T/tile.png" ${size}x${size} $((cx - size / 2)) $((cy - size / 2)) ;;
  esac
done
put "$T/p0.png" 32x32 209 119; put "$T/heart.png" 32x32 389 29; put "$T/bonus.png" 32x32 119 389
put "$T/p1.png" 32x32 479 389; put "$T/p2d.png" 32x32 299 479
# frame walls: okraj column 0 is the outer side
convert "$D/okraj.bmp" -crop 30x32+0+0 +repage $P 30x600! "$T/wl.png"
convert "$T/wl.png" -flop "$T/wr.png"; convert "$T/wl.png" -rotate 90 "$T/wt.png"; convert "$T/wl.png" -rotate -90 "$T/wb.png"
convert "$D/roh.bmp" -crop 30x30+0+0 +repage "$T/c.png"
convert "$T/screen.png" "$T/wl.png" -geometry +0+0 -composite "$T/wr.png" -geometry +570+0 -composite \
  "$T/wt.png" -geometry +0+0 -composite "$T/wb.png" -geometry +0+570 -composite \
  \( "$T/c.png" -rotate 180 \) -geometry +0+0 -composite \( "$T/c.png" -flip \) -geometry +570+0 -composite \
  \( "$T/c.png" -flop \) -geometry +0+570 -composite "$T/c.png" -geometry +570+570 -composite "$T/screen.png"
convert "$D/roh1.bmp" -crop 30x30+0+0 +repage "$T/post.png"
# panel with minimap cells tinted yellow..red, marks, lives and digits
convert -size 800x600 xc:black "$T/screen.png" -composite \( "$D/panel.jpg" -crop 200x600+0+0 +repage \) -geometry +600+0 -composite "$T/screen.png"
convert "$D/pol1.bmp" -crop 20x20+0+0 +repage "$T/cell.png"
for j in 0 1 2 3 4 5 6 7; do for k in 0 1 2 3 4 5 6 7; do
  g=$(( (90 - (j + k) * 90 / 14) )); x=$((617 + k * 21)); y=$((17 + j * 21))
  convert "$T/cell.png" -channel G -evaluate multiply 0.$(printf %02d $g) -channel B -evaluate set 0 +channel "$T/tc.png"
  put "$T/tc.png" 20x20 $x $y
done; done
convert "$D/pol1.bmp" -crop 20x6+0+26 +repage $P 20x5! "$T/wallh.png"
for k in 1 3 5; do put "$T/wallh.png" 20x5 $((617 + k * 21)) $((17 + 3 * 21 - 3)); done
put "$T/wallh.png" 168x5 615 14
convert "$D/pol2.bmp" -crop 20x20+0+0 +repage "$T/m2.png"; put "$T/m2.png" 16x16 $((617 + 2)) $((17 + 7 * 21 + 2))
convert "$D/pol3.bmp" -crop 20x20+0+0 +repage "$T/m3.png"; put "$T/m3.png" 16x16 $((617 + 5 * 21 + 2)) $((17 + 2 * 21 + 2))
for n in 0 1 2 3 4 5; do put "$T/p0.png" 32x32 $((636 + (n % 4) * 32)) $((219 + (n / 4) * 32)); done
for d in 0 1 2 3 4; do convert "$T/font.png" -crop 16x16+$((d * 16 + 16))+0 +repage "$T/d.png"; put "$T/d.png" 16x16 $((700 - 40 + d * 16)) 399; done
for d in 0 1 2 3 4; do convert "$T/font.png" -crop 16x16+$((d * 16 + 80))+0 +repage "$T/d.png"; put "$T/d.png" 16x16 $((700 - 40 + d * 16)) 467; done
cp "$T/screen.png" "$OUT"; rm -rf "$T"
