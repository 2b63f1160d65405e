# Sourced by the scripts: a virtual X display and a throw-away 32-bit Wine
# prefix with a warm wineserver, torn down by wine_session_stop.
#
#   wine_session_start DIR [XVFB_ARGS...]   exports DISPLAY and WINEPREFIX
#   wine_session_stop                        ends what start began

export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES='mscoree,mshtml=d'

# The first display number from 90 up whose lock file is free.
wine_session_free_display() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    echo "$n"
}

wine_session_start() {
    local dir=$1; shift
    local n
    n=$(wine_session_free_display)
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp "$@" >/dev/null 2>&1 &
    WINE_SESSION_XVFB=$!
    local i
    for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
    export WINEPREFIX="$dir"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Every stdio on /dev/null: Wine's services inherit them and would hold a
    # reader's pipe open for as long as they live.
    timeout 120 wineboot -i </dev/null >/dev/null 2>&1
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1
    # Without a window manager, Wine waits on every hide of a managed window.
    timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1
    wineserver -p </dev/null >/dev/null 2>&1
    timeout 60 wine wineboot </dev/null >/dev/null 2>&1
}

wine_session_stop() {
    [ -n "${WINEPREFIX:-}" ] && timeout 30 wineserver -k </dev/null >/dev/null 2>&1
    [ -n "${WINE_SESSION_XVFB:-}" ] && kill "$WINE_SESSION_XVFB" 2>/dev/null
    wait "${WINE_SESSION_XVFB:-}" 2>/dev/null
    WINE_SESSION_XVFB=
    return 0
}
