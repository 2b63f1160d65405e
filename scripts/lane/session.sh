#!/usr/bin/env bash
# Inside the lane's root, as the first process of a pid namespace of its own: a
# Wine session (Xvfb, a fresh prefix, a warm wineserver) for `test LOGS [EXCLUDE]`
# (the wine10 ctest preset, then the view on screen) or `screenshot OUT.png`. When
# it ends, or SIGTERM comes, all else in the namespace ends and the prefix goes.
set -u
[ $$ -eq 1 ] || { echo "session.sh: not the first process of a pid namespace" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/../.." && pwd)
source "$repo/scripts/wine-session.sh"
lane_tmp=$(mktemp -d /tmp/lane-run.XXXXXX)
finish() {
    # SIGTERM first: wineserver and Xvfb remove their sockets and locks.
    kill -TERM -1 2>/dev/null
    for _ in {1..30}; do set -- /proc/[0-9]*; [ $# -le 1 ] && break; sleep 0.1; done
    kill -KILL -1 2>/dev/null
    rm -rf "$lane_tmp"
}
trap finish EXIT
trap 'exit 143' TERM

# Shows the dialog, takes it into $1 once the view shows the cube on screen
# (tests/e2e/screen_view_check.py), closes it.
screenshot() {
    local tool=$repo/build/win32/glinspect_dialog_tool.exe status=1 check="no dialog on the screen" geometry
    timeout 60 wine "$tool" show </dev/null || return 1
    for _ in {1..25}; do
        sleep 0.4
        geometry=$(xwininfo -name "OpenGL Renderer infos" 2>/dev/null |
            awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                 /Width:/ {w=$2} /Height:/ {h=$2} END {if (w) printf "%dx%d+%d+%d", w, h, x, y}')
        [ -n "$geometry" ] && import -window root -crop "$geometry" +repage "$1" 2>/dev/null || continue
        check=$(python3 "$repo/tests/e2e/screen_view_check.py" "$1" 2>&1) && { status=0; break; }
    done
    echo "$check"
    timeout 60 wine "$tool" close </dev/null || status=1
    return $status
}

# Each step a job, so that SIGTERM is not held up by a command in the foreground.
(wine_session_start "$lane_tmp/prefix" && echo "$DISPLAY" >"$lane_tmp/display") & wait $!
export DISPLAY=$(cat "$lane_tmp/display") WINEPREFIX=$lane_tmp/prefix
case $1 in
    test) (cd "$repo" && ctest --preset wine10 --no-tests=error --output-junit "$2/ctest.xml" \
              ${3:+-E "$3"} </dev/null >"$2/ctest.log" 2>&1) & wait $!
          screenshot "$2/screen.png" >"$2/screen.log" 2>&1 & wait $!
          echo $? >"$2/screen.status" ;;
    screenshot) screenshot "$2" & wait $! ;;
esac
