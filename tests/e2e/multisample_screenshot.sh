#!/bin/sh
# Runs the real program twice and captures the view's frames from the X
# server: on Mesa's llvmpipe, whose 4-sample format the view takes, the cube's
# outline must show blended colours; on Mesa's softpipe, which has no
# multisampled formats and so leaves the view its plain one, it must show none.
#
#   multisample_screenshot.sh EXE DIALOG_TOOL OUTDIR
#
# Needs DISPLAY and WINEPREFIX of a running Wine session, and xwininfo and
# ImageMagick's import and convert. DIALOG_TOOL is glinspect_dialog_tool.exe,
# which closes the dialog as its OK button does. Every wait is bounded, and
# the program is always ended before the next one starts.
#
# NOTE: Debian 12's Wine never copies an OpenGL child window to the screen;
# its frames live in an offscreen composite window of Wine's own, and that is
# the window captured here.

set -u
exe=$1
tool=$2
outdir=$3
mkdir -p "$outdir"
pid=

# Ends the running program: its OK button first, and once it has had 20 s to
# go, SIGKILL, which a Wine process cannot outlive (SIGTERM only ends the
# Wine thread that receives it, and can leave the process running).
end_program() {
    [ -n "$pid" ] || return 0
    timeout 30 wine "$tool" close </dev/null >/dev/null 2>&1
    tries=0
    while kill -0 "$pid" 2>/dev/null && [ $tries -lt 200 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=
}
trap end_program EXIT

# The X id of Wine's offscreen window for the view: the one window bigger
# than 1 x 1 whose parent is one of Wine's 1 x 1 holders placed at (-1, -1).
find_view_window() {
    timeout 20 xwininfo -root -tree 2>/dev/null | awk '
        / 1x1\+-1\+-1 / { holder = match($0, /[^ ]/); next }
        holder {
            d = match($0, /[^ ]/)
            if (d <= holder) { holder = 0; next }
            for (i = 1; i <= NF; i++)
                if ($i ~ /^[0-9]+x[0-9]+\+/) {
                    split($i, size, /[x+]/)
                    if (size[1] > 1 && size[2] > 1) { print $1; exit }
                }
        }'
}

# Prints "background face outline edge": pixel counts of the background (the
# commonest colour), of pure red, green or blue (the evenly lit faces), of
# blends of a face with the background (every channel lit) and of blends of two
# faces (two channels lit).
count_pixels() {
    timeout 60 convert "$1" -depth 8 -format %c histogram:info:- | sort -rn | awk '
        {
            gsub(/[:(),]/, " ")
            n = $1; r = $2; g = $3; b = $4
            if (NR == 1) { br = r; bg = g; bb = b; back = n; next }
            if (near(r, br) && near(g, bg) && near(b, bb)) { back += n; next }
            lit = (r > 2) + (g > 2) + (b > 2)
            if (lit == 1) face += n
            else if (lit == 3) outline += n
            else edge += n
        }
        function near(x, y) { return x - y <= 2 && y - x <= 2 }
        END { printf "%d %d %d %d\n", back, face, outline, edge }'
}

# Waits up to 10 s until no such window is left, so that only the program
# started next can own the one found.
wait_for_no_view() {
    tries=0
    while [ -n "$(find_view_window)" ]; do
        tries=$((tries + 1))
        [ $tries -le 100 ] || return 1
        sleep 0.1
    done
}

# Starts the program with the given Mesa driver, captures the view once it
# shows the cube, ends the program. Leaves OUTDIR/NAME.png.
capture_run() {
    name=$1
    driver=$2
    if ! wait_for_no_view; then
        echo "an OpenGL window of another program is still there"
        return 1
    fi
    GALLIUM_DRIVER=$driver wine "$exe" </dev/null >/dev/null 2>&1 &
    pid=$!
    shot=$outdir/$name.png
    rm -f "$shot"
    tries=0
    while [ $tries -lt 100 ]; do
        tries=$((tries + 1))
        sleep 0.2
        window=$(find_view_window)
        [ -n "$window" ] || continue
        timeout 20 import -window "$window" "$shot" 2>/dev/null || continue
        # The first frame may not be there yet: wait for a face colour.
        colours=$(timeout 20 convert "$shot" -format %k info: 2>/dev/null)
        [ "${colours:-0}" -ge 4 ] && break
    done
    timeout 20 import -window root "$outdir/$name-screen.png" 2>/dev/null
    end_program
    [ -s "$shot" ]
}

status=0
capture_run multisampled llvmpipe || { echo "no view captured with llvmpipe"; exit 1; }
capture_run plain softpipe || { echo "no view captured with softpipe"; exit 1; }

set -- $(count_pixels "$outdir/multisampled.png")
echo "multisampled (llvmpipe): background $1, face $2, outline blends $3, edge blends $4"
smooth_face=$2 smooth_outline=$3 smooth_edge=$4
set -- $(count_pixels "$outdir/plain.png")
echo "plain (softpipe): background $1, face $2, outline blends $3, edge blends $4"
hard_face=$2 hard_outline=$3 hard_edge=$4

# The same cube, some two thousand pixels, in both pictures.
[ "$smooth_face" -gt 1000 ] && [ "$hard_face" -gt 1000 ] || { echo "no cube in a picture"; status=1; }
# Its outline runs some 350 pixels long; most of it is blended with samples.
[ "$smooth_outline" -gt 100 ] || { echo "outline not blended with the multisampled format"; status=1; }
[ "$hard_outline" -eq 0 ] && [ "$hard_edge" -eq 0 ] || { echo "blends with the plain format"; status=1; }
exit $status
