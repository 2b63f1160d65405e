#!/usr/bin/env bash
# on-display.sh STARTED EXE [ARGS...], inside the lane's root: EXE on the caller's
# $DISPLAY in the kept prefix $WINEPREFIX, made first when missing. STARTED is written
# just before EXE starts; 75 when the display cannot be reached or no prefix made.
set -u
source "$(dirname "$0")/../wine-session.sh"
started=$1; shift
# SIGTERM: the prefix's programs end and its server saves the registry.
trap 'timeout 5 wineserver -k </dev/null >/dev/null 2>&1; exit 143' TERM
xdpyinfo >/dev/null 2>&1 || { echo "wine10-lane: the display $DISPLAY cannot be reached from inside the lane" >&2; exit 75; }
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    echo "== making the Wine 10 prefix $WINEPREFIX, once: about 650 MB and 15 s"
    timeout 300 wineboot -i </dev/null >/dev/null 2>&1 & wait $! || { echo "wine10-lane: wineboot failed" >&2; exit 75; }
fi
echo started >"$started"
wine "$@" <&0 & wait $!
set -- $?
timeout 30 wineserver -w </dev/null >/dev/null 2>&1
exit "$1"
