#!/usr/bin/env bash
# scripts/run as a user with a desktop runs it: an Xvfb with access control
# stands in for the desktop, scripts/run starts with DISPLAY and XAUTHORITY
# pointing at it, and the X root window's picture must show the cube in the
# view (screen_view_check.py, the rule of the Wine 10 lane's own check). Then
# the dialog is closed and scripts/run must end with 0.
#
#   tests/e2e/run_on_display_check.sh [OUTDIR]   (default build/run-on-display)
#
# Leaves OUTDIR/root.png and OUTDIR/run.log; prints the check's counts and a
# last line "run on display: passed" or "run on display: FAILED". The dialog's
# Wine prefix and the display's authority live in a folder of their own, removed
# when the check ends. Runs as root.
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$repo/build/run-on-display}
mkdir -p "$out"
out=$(cd "$out" && pwd)
source "$repo/scripts/wine-session.sh"

scratch=$(mktemp -d /tmp/glinspect-display.XXXXXX)
export GLINSPECT_LANE_PREFIX=$scratch/prefix
n=$(wine_session_free_display)
export DISPLAY=:$n XAUTHORITY=$scratch/xauthority
rm -f "$out/root.png"
xauth -f "$XAUTHORITY" add "$DISPLAY" . "$(mcookie)" >/dev/null 2>&1
Xvfb "$DISPLAY" -auth "$XAUTHORITY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
run=
finish() {
    # scripts/run leads a process group of its own: the lane goes with it and
    # ends what it started (Wine's server of the prefix too) before it exits.
    [ -n "$run" ] && kill -- -"$run" 2>/dev/null && wait "$run" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -rf "$scratch"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# Access control is on: without the authority the display refuses.
if XAUTHORITY=/dev/null xdpyinfo >/dev/null 2>&1; then
    echo "the stand-in display does not ask for its authority"
fi

status=0
setsid "$repo/scripts/run" </dev/null >"$out/run.log" 2>&1 &
run=$!
# Up to 5 minutes: a missing lane is made first (about a minute), a new
# prefix takes its own time.
shown=
for _ in $(seq 1 600); do
    kill -0 "$run" 2>/dev/null || break
    if xwininfo -root -tree 2>/dev/null | grep -q '"OpenGL Renderer infos"'; then shown=1; break; fi
    sleep 0.5
done
if [ -z "$shown" ]; then
    echo "no dialog on $DISPLAY; scripts/run said:"
    tail -20 "$out/run.log"
    status=1
else
    # The first frame: until the root window's picture shows the cube.
    for _ in $(seq 1 25); do
        sleep 0.4
        import -window root "$out/root.png" 2>/dev/null || continue
        python3 "$repo/tests/e2e/screen_view_check.py" "$out/root.png" >"$out/check.log" 2>&1 && break
    done
    cat "$out/check.log"
    python3 "$repo/tests/e2e/screen_view_check.py" "$out/root.png" >/dev/null 2>&1 || status=1
    timeout 60 "$repo/scripts/wine10-lane.sh" run-on-display \
        "$repo/build/win32/glinspect_dialog_tool.exe" close </dev/null >"$out/close.log" 2>&1 ||
        { cat "$out/close.log"; status=1; }
fi
for _ in $(seq 1 120); do kill -0 "$run" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$run" 2>/dev/null; then
    echo "scripts/run did not end after the dialog was closed"
    status=1
else
    wait "$run"
    run_status=$?
    run=
    [ "$run_status" -eq 0 ] || { echo "scripts/run ended with $run_status"; status=1; }
fi
grep -E '^(==|warning:)' "$out/run.log" | sed 's/^/   /'
echo "root window: $out/root.png"
[ "$status" -eq 0 ] && echo "run on display: passed" || echo "run on display: FAILED"
exit "$status"
