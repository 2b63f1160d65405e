#!/usr/bin/env bash
# A second Wine for the Windows tests, as root: Wine 10 from Debian 13 (trixie) in a
# root made by mmdebstrap and entered with bwrap, where the programs built in
# build/win32 run as they are. It shows OpenGL drawn into a child window on the
# screen, which Debian 12's Wine never does. docs/testing.md tells the rest.
#   wine10-lane.sh setup|test|ready|remove|screenshot OUT|run-on-display [EXE [ARGS...]]
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
inside=$repo/scripts/lane build=$repo/build/win32
lane_root=$(realpath -m -- "${GLINSPECT_LANE_ROOT:-/var/cache/glinspect/trixie-root}")
# Written into a new root first: only a folder holding it is made again or removed.
marker=$lane_root/.glinspect-lane-root stamp=$lane_root/.glinspect-lane-complete
lane_prefix=${GLINSPECT_LANE_PREFIX:-$repo/build/wineprefix-lane}
logs=${GLINSPECT_LANE_LOGS:-$repo/build/test-logs/wine10}
# The stamp records this list: a root made with another one is made again.
packages="wine wine32:i386 fonts-wine libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
 libglu1-mesa:i386 libxcomposite1:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
 libxinerama1:i386 libxfixes3:i386 libxxf86vm1:i386 xvfb x11-utils imagemagick python3-minimal cmake"
stamp_text="trixie "$(echo $packages)
# Debian 13's Xvfb with Mesa 25 offers no multisampled GLX config at all, so the
# view gets its plain format; these expect a 4-sample one and run on the host.
lane_skip=${GLINSPECT_LANE_SKIP-RealDriverView.ProbeFindsAFormatAndLeavesNothingBehind:RealDriverView.ViewGetsTheProbedMultisampledFormat:RealDriverView.SamplesBlendTheOutlineThatThePlainFormatLeavesHard:ReportOfTheRunningDialog.RightClickOnTheSummaryCopiesWhatTheDialogShows:ReportOfTheRunningDialog.TheCompanionPrintsTheSameTextAndAgreeingJson}
die() { echo "wine10-lane: $*" >&2; exit 1; }

# Stopping. Each long command runs in bwrap, in a session of its own that a
# terminal's Ctrl-C does not reach, and ends with this script (--die-with-parent).
# On SIGINT or SIGTERM its first process gets SIGTERM and tidies up; SIGKILL,
# which takes its whole pid namespace, follows after 6 s.
job= info=
stop_lane() {
    trap '' INT TERM PIPE
    echo "wine10-lane: stopping" >&"$lane_stderr"
    local first i
    first=$(sed -n 's/.*"child-pid": *\([0-9]*\).*/\1/p' "$info" 2>/dev/null)
    kill -TERM "${first:-$job}" 2>/dev/null
    for ((i = 0; i < 60 && ${#first}; i++)); do [ -e "/proc/$first" ] || break; sleep 0.1; done
    [ -n "$first" ] && kill -KILL "$first" 2>/dev/null
    rm -f "$info"
    exit "$1"
}
exec {lane_stderr}>&2
trap 'stop_lane 130' INT
trap 'stop_lane 143' TERM
# A job that `wait` waits for, which a signal interrupts at once.
waiting() { "$@" <&0 {lane_stderr}>&- & job=$!; wait "$job"; set -- $?; job=; return "$1"; }
contained() {  # contained BWRAP-OPTIONS... -- COMMAND...
    info=$(mktemp /tmp/glinspect-lane-info.XXXXXX) || die "cannot make a file in /tmp"
    waiting setsid bwrap --die-with-parent --cap-add ALL --info-fd 3 "$@" 3>"$info"
    set -- $? "$info"; info=; rm -f "$2"; return "$1"
}
# in_root [BWRAP-OPTIONS...] -- COMMAND...: COMMAND in the root, with /proc, /dev,
# the host's /tmp (display numbers and X sockets shared) and the project.
in_root() {
    contained --bind "$lane_root" / --proc /proc --dev-bind /dev /dev --bind /tmp /tmp --bind "$repo" "$repo" \
        --clearenv --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin --setenv HOME /root --setenv LANG C.UTF-8 \
        --setenv TERM dumb --setenv PYTHONDONTWRITEBYTECODE 1 "$@"
}

made() { [ -f "$marker" ]; }
root_complete() { made && [ "$(cat "$stamp" 2>/dev/null)" = "$stamp_text" ]; }
# Stops when GLINSPECT_LANE_ROOT names anything else than the lane's root or an
# empty folder: nothing of it, nor beside it, is touched.
refuse_foreign_root() {
    [ ! -e "$lane_root" ] || made || { [ -d "$lane_root" ] && [ -z "$(ls -A "$lane_root")" ]; } ||
        die "$lane_root is not the lane's root (it has no $(basename "$marker")): leaving it as it is; set GLINSPECT_LANE_ROOT to a new folder"
    # rm --one-file-system does not see a bind mount of the same file system.
    ! grep -q " $lane_root[/ ]" /proc/mounts || die "something is mounted under $lane_root; not removing it"
}
as_root() { [ "$(id -u)" -eq 0 ] || die "must run as root"; }
lock() { mkdir -p "$(dirname "$lane_root")"; exec 9>>"$lane_root.lock"; waiting flock "$@" 9; }
need_root() {
    as_root
    root_complete || die "no complete root at $lane_root; run: scripts/wine10-lane.sh setup"
    lock -s
}

setup() {
    as_root; refuse_foreign_root
    root_complete && { echo "== Wine 10 root at $lane_root: complete, reused"; return 0; }
    lock -x; refuse_foreign_root; root_complete && return 0
    command -v mmdebstrap >/dev/null && command -v bwrap >/dev/null || die "no mmdebstrap or bwrap; run scripts/setup-debian.sh"
    local started=$SECONDS
    made && { rm -rf --one-file-system "$lane_root" || die "cannot remove the old root"; }
    mkdir -p "$lane_root"
    printf '%s\n' "A Debian 13 root made by glinspect's scripts/wine10-lane.sh." \
        "scripts/wine10-lane.sh remove deletes this folder; nothing else does." >"$marker"
    echo "== mmdebstrap trixie into $lane_root"
    # In a pid and mount namespace of its own: no mount nor process outlives it.
    contained --bind / / --dev-bind /dev /dev --proc /proc --unshare-pid -- mmdebstrap --mode=root \
        --variant=minbase --skip=check/empty --architectures=amd64,i386 --include="$(echo $packages)" \
        --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/locale/*' trixie "$lane_root" "${GLINSPECT_LANE_MIRROR:-http://deb.debian.org/debian}" \
        >"$lane_root.mmdebstrap.log" 2>&1 || { tail -20 "$lane_root.mmdebstrap.log"; die "mmdebstrap failed"; }
    in_root -- wine --version || die "wine does not run inside the root"
    echo "$stamp_text" >"$stamp"
    echo "== root ready in $((SECONDS - started)) s"
}

remove() {
    as_root; refuse_foreign_root
    local paths=() path size
    # The lane's prefixes: run-on-display's, and the one its display check kept.
    for path in "$lane_prefix" "$logs/run-on-display/prefix"; do
        [ "$path" = "$repo/build/wineprefix-lane" ] || [ -d "$path/dosdevices" ] || [ -f "$path/system.reg" ] || continue
        [ -e "$path" ] && paths+=("$path")
    done
    { [ -e "$lane_root.lock" ] || made; } && { exec 9>>"$lane_root.lock"; flock -x -n 9 ||
        die "the lane is in use (a command holds $lane_root.lock); try again when it has ended"; }
    made && paths+=("$lane_root")
    # The lock and the log beside it, and the logs of a root made by debootstrap.
    for path in "$lane_root".{lock,mmdebstrap.log,debootstrap.log,install.log}; do [ -e "$path" ] && paths+=("$path"); done
    [ ${#paths[@]} -gt 0 ] || { echo "== nothing of the Wine 10 lane to remove (root $lane_root)"; return 0; }
    size=$(du -scbx -- "${paths[@]}" | tail -1 | cut -f1)
    for path in "${paths[@]}"; do rm -rf --one-file-system -- "$path" && echo "   removed $path" || die "cannot remove $path"; done
    echo "== the Wine 10 lane removed: $(((size + 500000) / 1000000)) MB freed"
}

# The root sees the project and /tmp only.
seen() { case $1 in "$repo"/*|/tmp/*) ;; *) echo "wine10-lane: $1 is neither in $repo nor in /tmp" >&2; return 1 ;; esac; }

screenshot() {
    local out=${1:-}
    [ -n "$out" ] || die "usage: wine10-lane.sh screenshot OUT.png"
    need_root
    [ -f "$build/glinspect_dialog_tool.exe" ] || die "no $build/glinspect_dialog_tool.exe; build the win32 preset first"
    mkdir -p "$(dirname "$out")" "$repo/build"
    shot=$(mktemp --suffix=.png "$repo/build/wine10-screenshot.XXXXXX") || die "cannot make a file in $repo/build"
    trap 'rm -f "$shot"' EXIT
    in_root --unshare-pid --as-pid-1 -- bash "$inside/session.sh" screenshot "$shot"
    set -- $? "$out"
    [ -s "$shot" ] && cat "$shot" >"$2" && echo "screenshot (Wine 10, from the X root window): $(realpath -- "$2")"
    return "$1"
}

run_on_display() {  # exits 75 when the lane cannot start the program
    unavailable() { echo "wine10-lane: $*" >&2; exit 75; }
    [ -n "${DISPLAY:-}" ] || unavailable "no DISPLAY to run on"
    [ "$(id -u)" -eq 0 ] || unavailable "must run as root"
    root_complete || unavailable "no complete root at $lane_root; run: scripts/wine10-lane.sh setup"
    lock -s
    local exe=${1:-$build/glinspect.exe} prefix authority=() file status=0
    [ $# -gt 0 ] && shift
    [ -f "$exe" ] || unavailable "no $exe; build the win32 preset first"
    mkdir -p "$(dirname "$lane_prefix")"
    exe=$(realpath -- "$exe") prefix=$(realpath -m -- "$lane_prefix")
    seen "$exe" && seen "$prefix" || exit 75
    # The display's authority: $XAUTHORITY, ~/.Xauthority, or (under sudo) the user's.
    for file in "${XAUTHORITY:-}" "${HOME:-/root}/.Xauthority" ${SUDO_USER:+"$(getent passwd "$SUDO_USER" | cut -d: -f6)/.Xauthority"}; do
        [ -n "$file" ] && [ -r "$file" ] && authority=(--ro-bind "$file" /run/xauthority --setenv XAUTHORITY /run/xauthority) && break
    done
    # Written inside just before EXE starts: a failure while it is empty is the lane's.
    started=$(mktemp /tmp/glinspect-lane-started.XXXXXX)
    trap 'rm -f "$started"' EXIT
    # In the host's pid namespace: the programs of one prefix share Wine's
    # server, which knows them by their process ids.
    in_root --tmpfs /run "${authority[@]}" --setenv DISPLAY "$DISPLAY" --setenv WINEPREFIX "$prefix" -- \
        bash "$inside/on-display.sh" "$started" "$exe" "$@" || status=$?
    [ "$status" -ne 0 ] && [ ! -s "$started" ] && {
        [ "$status" -eq 75 ] || echo "wine10-lane: the lane did not start (status $status)" >&2; exit 75; }
    exit "$status"
}

test_lane() {
    need_root
    local exe skip= modules started=$SECONDS display=0
    for exe in glinspect.exe glinspect_dialog_tool.exe tests/glinspect_{win32,e2e}_tests.exe; do
        [ -f "$build/$exe" ] || die "no $build/$exe; build the win32 preset first"; done
    mkdir -p "$logs" && logs=$(realpath -- "$logs") && seen "$logs" || exit 1
    rm -f "$logs"/{ctest.xml,lane-stop.xml,screen.status}
    echo "== Windows tests under $(in_root -- wine --version) (Debian 13, $lane_root)"
    if [ -n "$lane_skip" ]; then
        echo "   left out here (no multisampled format on this X server): ${lane_skip//:/ }"
        skip="^(win32|e2e)\.($(sed 's/\./\\./g; s/\*/.*/g; s/?/./g; s/:/|/g' <<<"$lane_skip"))\$"
    fi
    # ctest's gtest discovery reads the CMake modules the build was made with.
    modules=$(sed -n 's/^CMAKE_ROOT:INTERNAL=//p' "$build/CMakeCache.txt")
    in_root --unshare-pid --as-pid-1 ${modules:+--ro-bind "$modules" "$modules"} -- \
        bash "$inside/session.sh" test "$logs" "$skip"
    sed 's/^/   /' "$logs/screen.log" 2>/dev/null
    # scripts/run as a user with a desktop runs it, on a stand-in display.
    waiting bash "$repo/tests/e2e/run_on_display_check.sh" "$logs/run-on-display" >"$logs/run-on-display.log" 2>&1 || display=1
    grep -E '^view |misses|^no |did not|ended with' "$logs/run-on-display.log" | sed 's/^/   /'
    # This script's own rules: Ctrl-C ends all it started; a root it did not make stays.
    GLINSPECT_LANE_ROOT=$lane_root waiting python3 "$repo/tests/e2e/lane_stop_check.py" \
        --junit "$logs/lane-stop.xml" >"$logs/lane-stop.log" 2>&1
    echo "== $((SECONDS - started)) s for the Wine 10 lane; logs in $logs"
    python3 "$inside/junit_summary.py" "$logs/ctest.xml" "$logs/lane-stop.xml" \
        --check "view on the root window ($logs/screen.png)" "$(cat "$logs/screen.status" 2>/dev/null || echo 1)" \
        --check "scripts/run on a display ($logs/run-on-display/root.png)" "$display"
}

what=${1:-}; shift
case $what in
    setup|remove|screenshot) "$what" "$@" ;;
    test) test_lane ;; ready) root_complete ;; run-on-display) run_on_display "$@" ;;
    *) echo "usage: $0 setup|test|screenshot OUT.png|ready|remove|run-on-display [EXE [ARGS...]]" >&2; exit 2 ;;
esac
