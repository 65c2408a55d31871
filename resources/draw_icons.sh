#!/usr/bin/env bash
# Draws the program's icons (simple glyphs on rounded tiles) with ImageMagick.
# Run from resources/: ./draw_icons.sh  (needs imagemagick and fonts-dejavu-core)
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

tile() { # file glyph colour [size]
  local size=${4:-64}
  $im -size ${size}x${size} xc:none -fill "$3" -stroke '#1d2b3a' -strokewidth 2 \
      -draw "roundrectangle 2,2 $((size-3)),$((size-3)) 12,12" \
      -stroke none -fill white -font "$font" -pointsize $((size*5/8)) -gravity center \
      -annotate +0+1 "$2" -strip "$1"
}

tile img/hammer.png   '⚒' '#556080'
for n in 1 2 3 4; do
  colours=('#507399' '#3f8f6b' '#a0663a' '#6a5aa8')
  tile img/share$n.png '⧉' "${colours[$((n-1))]}"
done
tile img/btn_01.png   '⬇' '#3f7f4f'
tile img/btn_02.png   '⬆' '#3f6a9f'
tile img/btn_03.png   '▤' '#6a6a6a'
tile img/btn_04.png   '?' '#3f8fa0'
tile img/btn_05.png   '✖' '#a04040'
tile img/menu_01.png  '☰' '#507399'
tile img/menu_02.png  '⌂' '#507399'
tile img/menu_03.png  '#' '#507399'
tile img/menu_05.png  '✚' '#507399'
tile img/menu_06.png  '⚖' '#507399'
tile img/menu_07.png  '✎' '#507399'
tile img/doklad.png   '✉' '#507399'
tile img/add.png      '+' '#3f7f4f'
tile img/delete.png   '−' '#a04040'
tile img/arrow.png    '▼' '#507399'
tile img/arrow_3.png  '▶' '#507399'
tile img/adr_copy.png '⇊' '#507399'
tile img/bal_01.png   '+' '#3f7f4f'
tile img/bal_02.png   '◆' '#6a5aa8'
tile img/bal_04.png   '✖' '#a04040'
tile img/bal_05_2.png '⇅' '#507399'
tile img/exit.png     '✖' '#a04040'
tile img/info.png     'i' '#3f8fa0'
tile img/import.png   '⇩' '#3f7f4f'
tile img/ok2.png      '✔' '#3f7f4f'
tile img/pdp.png      '≡' '#6a5aa8'
tile img/search.png   '⌕' '#507399'
tile newjpg/005-idea.png '☀' '#c0a020'

# Sample sheets of the import dialog.
./draw_import_samples.sh

for n in 1 2 3 4 5 6; do
  $im -size 320x120 xc:'#ede9ff' -stroke '#507399' -strokewidth 2 -fill white \
      -draw 'roundrectangle 4,4 315,115 10,10' -stroke none -fill '#507399' -font "$font" -pointsize 22 \
      -gravity center -annotate +0+0 "Пример $n" -strip img/primer$n.png
done
