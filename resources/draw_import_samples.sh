#!/usr/bin/env bash
# Draws the two sample sheets of the import's first-cell dialog (865 x 296): a spreadsheet with column letters
# and row numbers, stamped as a sample, the first cell of the block (row 10, column B) filled yellow and pointed
# at by a red arrow. Run from resources/: ./draw_import_samples.sh  (needs imagemagick and fonts-dejavu-core)
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# Column edges: row numbers, A, B, then seven narrower columns.
edges=(0 36 146 246 331 416 501 586 671 756 865)
top=20   # column letters
h=23     # row height
rows=12

x_of() { echo "${edges[$1]}"; }
y_of() { echo $((top + ($1 - 1) * h)); } # top of sheet row $1

sheet() { # file, then "row|column|text" cells (column 1 = A)
  local file=$1; shift
  local args=(-size 865x296 xc:white -font "$font" -pointsize 11)
  # the target cell first, so the grid lies over it
  args+=(-fill '#ffe680' -draw "rectangle $(x_of 2),$(y_of 10) $(x_of 3),$(( $(y_of 10) + h ))")
  args+=(-fill '#eeeeee' -draw "rectangle 0,0 865,$top" -draw "rectangle 0,0 $(x_of 1),296")
  args+=(-stroke '#b8b8b8' -strokewidth 1)
  for x in "${edges[@]}"; do args+=(-draw "line $x,0 $x,296"); done
  for ((r = 0; r <= rows; ++r)); do y=$((top + r * h)); args+=(-draw "line 0,$y 865,$y"); done
  args+=(-draw "line 0,$top 865,$top" -stroke none -fill '#444444')
  local letters=(A B C D E F G H I)
  for c in 1 2 3 4 5 6 7 8 9; do
    args+=(-draw "text $(( $(x_of "$c") + 6 )),15 '${letters[$((c - 1))]}'")
  done
  for ((r = 1; r <= rows; ++r)); do args+=(-draw "text 8,$(( $(y_of "$r") + 16 )) '$r'"); done
  args+=(-fill '#222222')
  for cell in "$@"; do
    IFS='|' read -r r c text <<<"$cell"
    args+=(-draw "text $(( $(x_of "$c") + 4 )),$(( $(y_of "$r") + 16 )) '$text'")
  done
  # the arrow: from the lower right towards the right edge of B10
  local tx=$(( $(x_of 3) + 4 )) ty=$(( $(y_of 10) + h / 2 ))
  args+=(-stroke '#d02020' -strokewidth 4 -draw "line $((tx + 150)),$((ty + 45)) $((tx + 14)),$((ty + 4))")
  args+=(-stroke none -fill '#d02020' -draw "polygon $tx,$ty $((tx + 22)),$((ty - 4)) $((tx + 12)),$((ty + 14))")
  args+=(-fill '#d0202050' -font "$bold" -pointsize 72 -gravity center -annotate -10+0 'ОБРАЗЕЦ' -gravity northwest)
  $im "${args[@]}" -depth 8 -strip "$file"
}

sheet img/f6exampl.png \
  '2|2|Сведения о численности работающих и забронированных граждан, пребывающих в запасе' \
  '8|2|Всего раб.' '8|3|Призыв.' '8|4|Всего ГПЗ' '8|5|ГПЗ офиц.' '8|6|ГПЗ не оф.' '8|7|Заброн.' \
  '8|8|Забр. оф.' '8|9|Забр. не оф.' \
  '9|2|1' '9|3|2' '9|4|3' '9|5|4' '9|6|5' '9|7|6' '9|8|7' '9|9|8' \
  '10|1|Численность' '10|2|120' '10|3|3' '10|4|12' '10|5|5' '10|6|7' '10|7|6' '10|8|2' '10|9|4'

sheet img/f10exampl.png \
  '2|2|Баланс трудовых ресурсов' \
  '8|1|Вид производства' '8|2|Код ОКПДТР' '8|3|Фасет' '8|4|Должность' '8|5|По штату' '8|6|Факт.' \
  '8|7|Убывает' '8|8|Заброн.' '8|9|Моб. задание' \
  '9|1|1' '9|2|2' '9|3|3' '9|4|4' '9|5|5' '9|6|6' '9|7|7' '9|8|8' '9|9|9' \
  '10|1|Основное' '10|2|20336' '10|3|01' '10|4|Бухгалтер' '10|5|5' '10|6|4' '10|7|1' '10|8|1' \
  '11|1|Вспомогательное' '11|2|22446' '11|4|Инженер' '11|5|3' '11|6|3' '11|9|6'
