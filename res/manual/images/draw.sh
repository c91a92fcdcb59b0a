#!/usr/bin/env bash
# Draws the manual's pictures: a plot made by curvist-plot and a sketch of the main window
# around it, labelled with numbered marks that the start page explains.
# Usage: res/manual/images/draw.sh build/bin/curvist-plot   (needs ImageMagick, fonts-wqy-microhei)
set -euo pipefail
plot=${1:?path of curvist-plot}
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$plot" -o "$here/plot.png" --size 480x320 'sin(x)' 'x^2/4-2' '1/x' 'sin(x)+cos(x)'
"$plot" -o "$tmp/small.png" --size 400x280 'sin(x)' 'x^2/4-2' '1/x'

args=(-size 560x380 'xc:#d4d0c8' -font "$font" -pointsize 12)
box() { args+=(-fill "$1" -stroke "$2" -draw "rectangle $3" -stroke none); }
text() { args+=(-fill black -annotate "+$1+$2" "$3"); }
mark() { # a numbered red disc
    args+=(-fill '#c00000' -draw "circle $1,$2 $(($1 + 8)),$2"
           -fill white -annotate "+$(($1 - 3))+$(($2 + 5))" "$3")
}

# Caption, menu bar and toolbar.
box '#0a246a' none '0,0 559,21'
args+=(-fill white -annotate +8+15 '无标题 - Lumivo函数作图器')
text 8 37 '文件(F)    操作(W)    选项(T)    帮助(H)'
box '#c8c4bc' '#808080' '2,44 557,66'
for x in 8 26 44 70 88 106 132 150 176 194 212 238 264; do
    box '#ece9e2' '#808080' "$x,48 $((x + 14)),62"
done

# The function panel.
box white '#808080' '2,70 151,355'
box white black '10,78 110,150'
box red black '14,83 22,91'
text 26 92 'Y=sin(x)'
box yellow black '14,99 22,107'
text 26 108 'Y=x^2/4-2'
box blue black '14,115 22,123'
text 26 124 'Y=1/x'
args+=(-pointsize 11)
for x in 10 44 78; do box '#ece9e2' '#808080' "$x,158 $((x + 30)),172"; done
text 14 170 '添加'
text 48 170 '修改'
text 82 170 '删除'
box none '#808080' '10,186 110,300'
box white '#d4d0c8' '14,180 62,192'
text 16 190 '函数属性'
box white black '18,203 27,212'
args+=(-stroke black -strokewidth 1.5 -draw 'line 20,207 22,210' -draw 'line 22,210 26,204'
       -strokewidth 1 -stroke none)
text 31 212 '显示该函数图像'
text 18 236 '显示颜色'
box white '#808080' '64,226 106,240'
box red none '67,229 77,237'
text 80 237 '红色'
text 18 262 '定义域'
box white '#808080' '16,270 52,284'
box white '#808080' '70,270 106,284'
text 20 281 '-∞'
text 56 281 '到'
text 74 281 '+∞'

# The plane and the status bar.
args+=("$tmp/small.png" -geometry +155+72 -composite)
box '#d4d0c8' '#808080' '2,358 557,377'
text 8 372 '就绪'
text 225 372 '比例：100%'
text 300 372 'X = 1.57'
text 365 372 'Y = 1.00'
text 430 372 '2026-01-11  12:03:05'

args+=(-pointsize 12)
mark 300 33 1
mark 300 56 2
mark 130 330 3
mark 530 110 4
mark 180 368 5
convert "${args[@]}" "$here/window.png"
