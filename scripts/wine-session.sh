# Sourced by the scripts: a virtual X display and a throw-away 32-bit Wine
# prefix with a warm wineserver, torn down by wine_session_stop.
#
#   wine_session_start DIR [XVFB_ARGS...]   exports DISPLAY and WINEPREFIX
#   wine_session_stop                        ends what start began
#   wine_session_unable                      why this machine cannot run Wine
#                                            (status 0 and a reason when it cannot)

export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES='mscoree,mshtml=d'

# Wine here is 32-bit code: a kernel built or booted without 32-bit support
# (ia32_emulation=off, or a VM that runs 64-bit user code only) refuses to
# execute it with ENOEXEC, and no Wine, not even a WoW64 one, can run a
# 32-bit Windows program. The i386 dynamic loader is the smallest such program.
wine_session_unable() {
    local loader=/lib/ld-linux.so.2
    [ -x "$loader" ] || return 1
    "$loader" --version >/dev/null 2>&1 && return 1
    [ $? -eq 126 ] || return 1
    echo "this machine's kernel runs no 32-bit x86 code ($loader: Exec format error), so no Wine can run the 32-bit exes here"
}

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
