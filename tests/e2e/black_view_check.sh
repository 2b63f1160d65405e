#!/bin/sh
# The view check must tell a black view: Debian 12's Wine never shows OpenGL
# drawn into a child window on the screen, so in the dialog's picture from the X
# root window screen_view_check.py has to find the view and refuse it for black.
#
#   black_view_check.sh DIALOG_TOOL OUTDIR
#
# Needs DISPLAY and WINEPREFIX of a running Wine session; exits 77 (skipped) under
# any other Wine, whose view may reach the screen.
set -u
tool=$1
out=$2/root.png
here=$(cd "$(dirname "$0")" && pwd)
wine --version | grep -qE '^wine-8\.0( |$).*(Debian|8\.0~repack)' || { echo "not Debian 12's Wine"; exit 77; }
mkdir -p "$2"
timeout 60 wine "$tool" show </dev/null >/dev/null || { echo "no dialog"; exit 1; }
sleep 1  # the view's first frame
geometry=$(xwininfo -name "OpenGL Renderer infos" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
         /Width:/ {w=$2} /Height:/ {h=$2} END {if (w) printf "%dx%d+%d+%d", w, h, x, y}')
import -window root -crop "$geometry" +repage "$out"
timeout 60 wine "$tool" close </dev/null >/dev/null
check=$(python3 "$here/screen_view_check.py" "$out")
status=$?
echo "$check"
[ "$status" -eq 1 ] && echo "$check" | grep -q 'misses:.*black [0-9]* >' || { echo "want exit 1 for black, got $status"; exit 1; }
