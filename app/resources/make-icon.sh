#!/usr/bin/env bash
# Draws the program's icon, the three-colour cube, and packs it as glinspect.ico:
# 32 x 32 in 256 colours, 16 x 16 and 32 x 32 in 32-bit colour, all as BMP
# (DIB) entries so that every Windows version loads them.
# Needs ImageMagick (convert) and icoutils (icotool).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One isometric cube on a transparent square of side $1: green top, red left,
# blue right, with dark edges.
draw_cube() {
    local size=$1 out=$2
    local s=$size
    local cx=$(( s / 2 )) top=$(( s / 16 )) mid=$(( s * 5 / 16 )) low=$(( s * 11 / 16 ))
    local bottom=$(( s - 1 - s / 16 )) left=$(( s / 16 )) right=$(( s - 1 - s / 16 ))
    local cy=$(( (top + low) / 2 + s / 8 ))
    convert -size "${s}x${s}" xc:none -stroke '#202020' -strokewidth 1 \
        -fill '#30d030' -draw "polygon $cx,$top $right,$mid $cx,$cy $left,$mid" \
        -fill '#d02020' -draw "polygon $left,$mid $cx,$cy $cx,$bottom $left,$low" \
        -fill '#2040e0' -draw "polygon $right,$mid $cx,$cy $cx,$bottom $right,$low" \
        "PNG32:$out"
}

draw_cube 32 "$work/cube32.png"
draw_cube 16 "$work/cube16.png"
# The 256-colour image: a palette PNG with binary transparency.
convert "$work/cube32.png" -channel A -threshold 50% +channel -colors 255 "PNG8:$work/cube32_8.png"

icotool -c -o "$here/glinspect.ico" \
    -b 8 "$work/cube32_8.png" -b 32 "$work/cube16.png" "$work/cube32.png"
icotool -l "$here/glinspect.ico"
