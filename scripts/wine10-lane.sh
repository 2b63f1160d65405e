#!/usr/bin/env bash
# A second Wine for the Windows tests: Wine 10 from Debian 13 (trixie) in a
# root made by debootstrap, with its own Xvfb and Mesa. The already-built
# Windows programs in build/win32 run there as they are. Debian 12's Wine never
# shows OpenGL drawn into a child window on the screen; this one does, so here
# the view is also judged from the X root window's picture, as a user sees it.
#
#   scripts/wine10-lane.sh setup            make the root, or reuse a complete one
#   scripts/wine10-lane.sh test             run the Windows test programs in it
#   scripts/wine10-lane.sh screenshot OUT   capture the dialog from the root window
#   scripts/wine10-lane.sh ready            exit 0 when a complete root is there
#   scripts/wine10-lane.sh remove           delete the root, the files beside it and
#                                           the lane's Wine prefix
#   scripts/wine10-lane.sh run-on-display [EXE [ARGS...]]
#                                           run EXE (default build/win32/glinspect.exe)
#                                           on $DISPLAY, in the foreground; exits 75
#                                           when the lane cannot start it there
#
#   GLINSPECT_LANE_ROOT    where the root is kept (default /var/cache/glinspect/trixie-root);
#                          a folder the lane did not make is never used nor removed
#   GLINSPECT_LANE_PREFIX  run-on-display's Wine prefix, kept between runs; under the
#                          project or /tmp (default build/wineprefix-lane)
#   GLINSPECT_LANE_MIRROR  the Debian mirror (default http://deb.debian.org/debian)
#   GLINSPECT_LANE_LOGS    where `test` writes its logs (default build/test-logs/wine10)
#
# Runs as root. Every mount lives in a private mount namespace of its own and is
# also undone by a trap, so none outlives the command. Ctrl-C (or SIGTERM) ends
# every process the command started and exits 130 (143).
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
lane_root=$(realpath -m -- "${GLINSPECT_LANE_ROOT:-/var/cache/glinspect/trixie-root}")
mirror=${GLINSPECT_LANE_MIRROR:-http://deb.debian.org/debian}
# Written into the root before anything else: only a folder holding it is ever
# removed or made again.
marker=$lane_root/.glinspect-lane-root
stamp=$lane_root/.glinspect-lane-complete
build=$repo/build/win32
lane_prefix=${GLINSPECT_LANE_PREFIX:-$repo/build/wineprefix-lane}

# What the root holds besides minbase. The stamp records this list: a root made
# with another list is made again.
packages=(
    wine wine32:i386 fonts-wine
    libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386
    libxcomposite1:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
    libxinerama1:i386 libxfixes3:i386 libxxf86vm1:i386
    xvfb x11-utils imagemagick python3-minimal
)
stamp_text="trixie ${packages[*]}"

# Tests left out here, and why: Debian 13's Xvfb with Mesa 25 offers no
# multisampled GLX config at all (glxinfo -v lists 320, every one with
# multiSample=0), though WGL_ARB_multisample is listed, so the view gets its
# plain format; these tests expect a 4-sample one. They run in the host lane.
# GLINSPECT_LANE_SKIP replaces the list (gtest filter patterns, ':' between).
lane_skip=${GLINSPECT_LANE_SKIP-RealDriverView.ProbeFindsAFormatAndLeavesNothingBehind:RealDriverView.ViewGetsTheProbedMultisampledFormat:RealDriverView.SamplesBlendTheOutlineThatThePlainFormatLeavesHard:ReportOfTheRunningDialog.RightClickOnTheSummaryCopiesWhatTheDialogShows:ReportOfTheRunningDialog.TheCompanionPrintsTheSameTextAndAgreeingJson}

die() { echo "wine10-lane: $*" >&2; exit 1; }

# ---- stopping: every process this command started -------------------------------

# Each command adds an id of its own to GLINSPECT_LANE_RUNS. Every process it
# starts inherits the variable: through unshare and chroot (passed on by name),
# into the process groups of their own that `timeout` makes, and into Wine's
# server and programs. Ctrl-C finds them all by it, wherever they went.
lane_run=run-$$-${EPOCHREALTIME/[.,]/}
export GLINSPECT_LANE_RUNS="${GLINSPECT_LANE_RUNS:-} $lane_run "

# Sets `tagged` to the processes that carry this command's id.
find_tagged() {
    local dir entry entries
    tagged=()
    for dir in /proc/[0-9]*; do
        [ "${dir#/proc/}" = "$$" ] && continue
        mapfile -d '' -t entries 2>/dev/null <"$dir/environ" || continue
        for entry in "${entries[@]}"; do
            if [[ $entry == GLINSPECT_LANE_RUNS=*" $lane_run "* ]]; then
                tagged+=("${dir#/proc/}")
                break
            fi
        done
    done
}

# stop_lane STATUS: SIGTERM to everything this command started, so that the
# sessions inside stop their servers and remove their prefixes; SIGKILL to what
# is left after 6 s. The mount namespaces end with their last process.
stop_lane() {
    trap '' INT TERM PIPE
    echo "wine10-lane: stopping" >&"$lane_stderr"
    find_tagged
    [ ${#tagged[@]} -eq 0 ] || kill -TERM "${tagged[@]}" 2>/dev/null
    local i
    for ((i = 0; i < 60; i++)); do
        find_tagged
        [ ${#tagged[@]} -eq 0 ] && break
        sleep 0.1
    done
    [ ${#tagged[@]} -eq 0 ] || kill -KILL "${tagged[@]}" 2>/dev/null
    exit "$1"
}
# The caller's standard error, for the word on stopping: the trap may run
# while a command's output goes to a log.
exec {lane_stderr}>&2
trap 'stop_lane 130' INT
trap 'stop_lane 143' TERM

# waiting COMMAND...: runs COMMAND as a child this shell waits for with `wait`,
# which a signal interrupts at once (a command in the foreground would keep the
# trap waiting until it ends). The copy of standard error stays here: Wine's
# servers would otherwise hold a reader's pipe open through it.
waiting() {
    "$@" <&0 {lane_stderr}>&- &
    wait "$!"
}

# ---- the mounts, in a private namespace ---------------------------------------

mounted=()
undo_mounts() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null
    done
    mounted=()
}

bind() {  # bind SOURCE TARGET-INSIDE-THE-ROOT
    mkdir -p "$lane_root$2"
    mount --bind "$1" "$lane_root$2" || die "cannot bind $1"
    mounted+=("$lane_root$2")
}

# in_root [--repo] COMMAND...: runs COMMAND (a bash script line) inside the root
# with /proc, /dev and /tmp bound in, and, with --repo, the project at its own
# path (the test programs hold absolute paths to the exe).
in_root() {
    local with_repo=0
    [ "$1" = --repo ] && { with_repo=1; shift; }
    waiting unshare --mount --propagation private -- "$0" __inside "$with_repo" "$@"
}

inside() {
    local with_repo=$1; shift
    trap undo_mounts EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    mount -t proc proc "$lane_root/proc" || die "cannot mount /proc"
    mounted+=("$lane_root/proc")
    bind /dev /dev
    bind /dev/pts /dev/pts
    [ -d /dev/shm ] && bind /dev/shm /dev/shm
    # The host's /tmp: X display numbers and their locks are then shared with
    # the host's, so a free one here is free there too.
    bind /tmp /tmp
    [ "$with_repo" -eq 1 ] && bind "$repo" "$repo"
    chroot "$lane_root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 TERM=dumb GLINSPECT_LANE_RUNS="$GLINSPECT_LANE_RUNS" bash -c "$*"
}

# ---- setup and removal -----------------------------------------------------------

lane_made_root() { [ -f "$marker" ]; }
root_complete() { lane_made_root && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; }

# Stops when GLINSPECT_LANE_ROOT names something other than the lane's root or
# an empty folder: nothing of it, nor beside it, is touched.
refuse_foreign_root() {
    [ -e "$lane_root" ] || return 0
    lane_made_root && return 0
    [ -d "$lane_root" ] && [ -z "$(ls -A "$lane_root")" ] && return 0
    die "$lane_root is not the lane's root (it has no $(basename "$marker")): leaving it as it is; set GLINSPECT_LANE_ROOT to a new folder"
}

make_root() {
    local started=$SECONDS
    command -v debootstrap >/dev/null ||
        DEBIAN_FRONTEND=noninteractive waiting apt-get install -y -q --no-install-recommends debootstrap ||
        die "cannot install debootstrap"
    # Nothing can be mounted inside from this namespace while we hold the lock
    # (the other commands mount in namespaces of their own); --one-file-system
    # keeps rm out of anything that is, all the same.
    if grep -q " $lane_root/" /proc/mounts; then
        die "something is mounted under $lane_root; not removing it"
    fi
    lane_made_root && rm -rf --one-file-system "$lane_root"
    mkdir -p "$lane_root"
    printf '%s\n' "A Debian 13 root made by glinspect's scripts/wine10-lane.sh." \
        "scripts/wine10-lane.sh remove deletes this folder; nothing else does." >"$marker"
    echo "== debootstrap trixie into $lane_root"
    # In a mount namespace of its own: its /proc and /sys mounts inside the root
    # end with it, however it ends.
    waiting unshare --mount --propagation private -- \
        debootstrap --variant=minbase --arch=amd64 trixie "$lane_root" "$mirror" \
        >"$lane_root.debootstrap.log" 2>&1 ||
        { tail -20 "$lane_root.debootstrap.log"; die "debootstrap failed"; }
    echo "   $((SECONDS - started)) s"
    # No services start inside; no documentation is kept.
    printf '#!/bin/sh\nexit 101\n' >"$lane_root/usr/sbin/policy-rc.d"
    chmod +x "$lane_root/usr/sbin/policy-rc.d"
    printf 'path-exclude /usr/share/doc/*\npath-exclude /usr/share/man/*\npath-exclude /usr/share/locale/*\n' \
        >"$lane_root/etc/dpkg/dpkg.cfg.d/01-nodoc"
    echo "== installing Wine 10, Xvfb and Mesa inside"
    in_root "dpkg --add-architecture i386 &&
        apt-get update -q &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends ${packages[*]} &&
        apt-get clean" >"$lane_root.install.log" 2>&1 ||
        { tail -30 "$lane_root.install.log"; die "installing the packages failed"; }
    in_root "wine --version" || die "wine does not run inside the root"
    echo "$stamp_text" >"$stamp"
    echo "== root ready in $((SECONDS - started)) s"
}

setup() {
    [ "$(id -u)" -eq 0 ] || die "setup must run as root"
    refuse_foreign_root
    if root_complete; then
        echo "== Wine 10 root at $lane_root: complete, reused"
        return 0
    fi
    mkdir -p "$(dirname "$lane_root")"
    exec 9>"$lane_root.lock"
    waiting flock -x 9
    refuse_foreign_root
    root_complete && return 0
    make_root
}

# The size of what is there among the paths, in MB (10^6 bytes).
megabytes() {
    local bytes
    bytes=$(du -scbx -- "$@" 2>/dev/null | tail -1 | cut -f1)
    echo $(((${bytes:-0} + 500000) / 1000000))
}

# A folder Wine made a prefix in.
wine_prefix() { [ -d "$1/dosdevices" ] || [ -f "$1/system.reg" ]; }

remove() {
    [ "$(id -u)" -eq 0 ] || die "remove must run as root"
    refuse_foreign_root
    local beside=("$lane_root.lock" "$lane_root.debootstrap.log" "$lane_root.install.log")
    # The lane's prefixes: run-on-display's, and the one its display check
    # kept in the test logs before it removed its own.
    local prefixes=() prefix
    for prefix in "$lane_prefix" "${GLINSPECT_LANE_LOGS:-$repo/build/test-logs/wine10}/run-on-display/prefix"; do
        if [ "$prefix" = "$repo/build/wineprefix-lane" ] || wine_prefix "$prefix"; then
            [ -e "$prefix" ] && prefixes+=("$prefix")
        fi
    done
    if [ -e "$lane_root.lock" ] || lane_made_root; then
        exec 9>>"$lane_root.lock"
        flock -x -n 9 || die "the lane is in use (a command holds $lane_root.lock); try again when it has ended"
    fi
    if grep -q " $lane_root[/ ]" /proc/mounts; then
        die "something is mounted under $lane_root; not removing it"
    fi
    local paths=() path
    lane_made_root && paths+=("$lane_root")
    for path in "${beside[@]}" "${prefixes[@]}"; do [ -e "$path" ] && paths+=("$path"); done
    if [ ${#paths[@]} -eq 0 ]; then
        echo "== nothing of the Wine 10 lane to remove (root $lane_root)"
        return 0
    fi
    local size
    size=$(megabytes "${paths[@]}")
    for path in "${paths[@]}"; do
        rm -rf --one-file-system -- "$path" || die "cannot remove $path"
        echo "   removed $path"
    done
    echo "== the Wine 10 lane removed: $size MB freed"
}

# ---- the session inside: Xvfb, a fresh prefix, a warm wineserver ----------------

# A bash line for inside the root: starts a session in a fresh prefix and stops
# it at the end; BODY runs in between.
session_script() {
    cat <<EOF
source '$repo/scripts/wine-session.sh'
lane_tmp=\$(mktemp -d /tmp/lane-run.XXXXXX)
trap 'wine_session_stop; rm -rf "\$lane_tmp"' EXIT
trap 'exit 143' TERM
wine_session_start "\$lane_tmp/prefix"
$1
EOF
}

need_root() {
    [ "$(id -u)" -eq 0 ] || die "must run as root"
    root_complete || die "no complete root at $lane_root; run: scripts/wine10-lane.sh setup"
    exec 9>"$lane_root.lock"
    waiting flock -s 9
}

# ---- screenshot ------------------------------------------------------------------

# Inside the session: show the dialog, take it from the root window, check the
# view's pixels, close it. Leaves the PNG at $1 and the check's output.
screenshot_body() {
    cat <<EOF
shot='$1'
timeout 60 wine '$build/glinspect_dialog_tool.exe' show </dev/null || exit 1
status=0
# The first frame: wait until the view shows the cube on screen.
for i in \$(seq 1 25); do
    sleep 0.4
    geometry=\$(xwininfo -name "OpenGL Renderer infos" 2>/dev/null |
        awk '/Absolute upper-left X/ {x=\$4} /Absolute upper-left Y/ {y=\$4}
             /Width:/ {w=\$2} /Height:/ {h=\$2} END {if (w) printf "%dx%d+%d+%d", w, h, x, y}')
    [ -n "\$geometry" ] || continue
    import -window root -crop "\$geometry" +repage "\$shot" 2>/dev/null || continue
    python3 '$repo/tests/e2e/screen_view_check.py' "\$shot" >"\$lane_tmp/check" 2>&1 && break
done
cat "\$lane_tmp/check"
python3 '$repo/tests/e2e/screen_view_check.py' "\$shot" >/dev/null 2>&1 || status=1
timeout 60 wine '$build/glinspect_dialog_tool.exe' close </dev/null || status=1
exit \$status
EOF
}

screenshot() {
    local out=${1:-}
    [ -n "$out" ] || die "usage: wine10-lane.sh screenshot OUT.png"
    need_root
    [ -f "$build/glinspect_dialog_tool.exe" ] || die "no $build/glinspect_dialog_tool.exe; build the win32 preset first"
    mkdir -p "$(dirname "$out")"
    out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
    # The picture is taken into the project's build folder, which is bound in.
    mkdir -p "$repo/build"
    inner=$(mktemp --suffix=.png "$repo/build/wine10-screenshot.XXXXXX") || die "cannot make a file in $repo/build"
    trap 'rm -f "$inner"' EXIT
    in_root --repo "$(session_script "$(screenshot_body "$inner")")"
    local status=$?
    [ -s "$inner" ] && cat "$inner" >"$out"
    rm -f "$inner"
    [ -s "$out" ] && echo "screenshot (Wine 10, from the X root window): $out"
    return $status
}

# ---- run-on-display ----------------------------------------------------------------

# What run-on-display exits with when the lane cannot start the program.
lane_unavailable=75

# The display's authority: $XAUTHORITY, else ~/.Xauthority, else (under sudo)
# the invoking user's. Nothing when there is none (a server without access
# control needs none).
display_authority() {
    local home_of_sudo_user=
    [ -n "${SUDO_USER:-}" ] && home_of_sudo_user=$(getent passwd "$SUDO_USER" | cut -d: -f6)
    local file
    for file in "${XAUTHORITY:-}" "${HOME:-/root}/.Xauthority" \
                ${home_of_sudo_user:+"$home_of_sudo_user/.Xauthority"}; do
        [ -n "$file" ] && [ -r "$file" ] && { echo "$file"; return; }
    done
}

# A program on the caller's display. The X socket (/tmp/.X11-unix) arrives with
# the host's /tmp, which every command binds; the authority is copied into
# /tmp for the run, and DISPLAY passed through. TCP displays work as they are:
# the lane shares the host's network.
run_on_display() {
    unavailable() { echo "wine10-lane: $*" >&2; exit "$lane_unavailable"; }
    [ -n "${DISPLAY:-}" ] || unavailable "no DISPLAY to run on"
    [ "$(id -u)" -eq 0 ] || unavailable "must run as root"
    root_complete || unavailable "no complete root at $lane_root; run: scripts/wine10-lane.sh setup"
    exec 9>"$lane_root.lock"
    waiting flock -s 9
    local exe=${1:-$build/glinspect.exe}
    [ $# -gt 0 ] && shift
    [ -f "$exe" ] || unavailable "no $exe; build the win32 preset first"
    exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
    case $exe in "$repo"/*|/tmp/*) ;; *) unavailable "$exe is neither in $repo nor in /tmp" ;; esac
    local prefix=$lane_prefix
    mkdir -p "$(dirname "$prefix")"
    prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
    case $prefix in "$repo"/*|/tmp/*) ;; *) unavailable "the prefix $prefix is neither in $repo nor in /tmp" ;; esac

    # Written inside just before the program starts: a failure while it is
    # empty is the lane's (a mount, the chroot), not the program's.
    started=$(mktemp /tmp/glinspect-lane-started.XXXXXX)
    local authority
    lane_authority=
    trap 'rm -f "$lane_authority" "$started"' EXIT
    authority=$(display_authority)
    if [ -n "$authority" ]; then
        lane_authority=$(mktemp /tmp/glinspect-lane-xauth.XXXXXX)
        cp "$authority" "$lane_authority" || unavailable "cannot copy the display's authority $authority"
    fi
    local arguments=
    [ $# -gt 0 ] && arguments=$(printf ' %q' "$@")
    local body
    body="export DISPLAY=$(printf %q "$DISPLAY")
${lane_authority:+export XAUTHORITY=$(printf %q "$lane_authority")}
source '$repo/scripts/wine-session.sh'
export WINEPREFIX=$(printf %q "$prefix")
xdpyinfo >/dev/null 2>&1 || { echo \"wine10-lane: the display \$DISPLAY cannot be reached from inside the lane\" >&2; exit $lane_unavailable; }
if [ ! -d \"\$WINEPREFIX/drive_c\" ]; then
    echo \"== making the Wine 10 prefix \$WINEPREFIX, once: about 650 MB and 15 s\"
    timeout 300 wineboot -i </dev/null >/dev/null 2>&1 || { echo 'wine10-lane: wineboot failed' >&2; exit $lane_unavailable; }
fi
echo started >'$started'
wine $(printf %q "$exe")$arguments
status=\$?
timeout 30 wineserver -w </dev/null >/dev/null 2>&1
exit \$status"
    local status=0
    in_root --repo "$body" || status=$?
    if [ "$status" -ne 0 ] && [ ! -s "$started" ]; then
        [ "$status" -eq "$lane_unavailable" ] || echo "wine10-lane: the lane did not start (status $status)" >&2
        exit "$lane_unavailable"
    fi
    exit "$status"
}

# ---- test --------------------------------------------------------------------------

lane_passed=0
lane_failed=0
# gtest's summary: "[  PASSED  ] 9 tests." and "[  FAILED  ] 2 tests, listed below:".
count_gtest() {
    local log=$1 p f
    p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | tail -1 | sed -E 's/[^0-9]*([0-9]+).*/\1/')
    f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | tail -1 | sed -E 's/[^0-9]*([0-9]+).*/\1/')
    if [ -z "$p" ] && [ -z "$f" ]; then
        echo "   no gtest summary in $log"
        lane_failed=$((lane_failed + 1))
        return
    fi
    lane_passed=$((lane_passed + ${p:-0}))
    lane_failed=$((lane_failed + ${f:-0}))
}

# check NAME STATUS: one pass or one failure for a check that is not gtest.
count_check() {
    if [ "$2" -eq 0 ]; then lane_passed=$((lane_passed + 1)); echo "   $1: passed"
    else lane_failed=$((lane_failed + 1)); echo "   $1: FAILED"; fi
}

test_lane() {
    need_root
    local exe
    for exe in glinspect.exe glinspect_dialog_tool.exe tests/glinspect_win32_tests.exe \
               tests/glinspect_e2e_tests.exe; do
        [ -f "$build/$exe" ] || die "no $build/$exe; build the win32 preset first"
    done
    local logs=${GLINSPECT_LANE_LOGS:-$repo/build/test-logs/wine10}
    mkdir -p "$logs"
    logs=$(cd "$logs" && pwd)
    case $logs in "$repo"/*|/tmp/*) ;; *) die "the logs folder $logs is neither in $repo nor in /tmp" ;; esac
    local started=$SECONDS
    echo "== Windows tests under $(in_root "wine --version") (Debian 13, $lane_root)"
    [ -n "$lane_skip" ] && echo "   left out here (no multisampled format on this X server): ${lane_skip//:/ }"
    local body
    body="timeout 600 wine '$build/tests/glinspect_win32_tests.exe' '--gtest_filter=-$lane_skip' </dev/null >'$logs/win32.log' 2>&1
echo \$? >'$logs/win32.status'
timeout 900 wine '$build/tests/glinspect_e2e_tests.exe' '--gtest_filter=-NoGlx.*:$lane_skip' </dev/null >'$logs/e2e.log' 2>&1
echo \$? >'$logs/e2e.status'
( $(screenshot_body "$logs/screen.png") ) >'$logs/screen.log' 2>&1
echo \$? >'$logs/screen.status'"
    rm -f "$logs"/*.status
    in_root --repo "$(session_script "$body")"
    grep -hE '^\[ +(OK|FAILED) +\]' "$logs/win32.log" "$logs/e2e.log" | sed 's/^/   /'
    count_gtest "$logs/win32.log"
    count_gtest "$logs/e2e.log"
    # The error path, on an X server without GLX.
    in_root --repo "bash '$repo/tests/support/run-without-glx.sh' \
        '$build/tests/glinspect_e2e_tests.exe' --gtest_filter=NoGlx.*" >"$logs/no_glx.log" 2>&1
    grep -E '^\[ +(OK|FAILED) +\]' "$logs/no_glx.log" | sed 's/^/   /'
    count_gtest "$logs/no_glx.log"
    # The view as a user sees it: the dialog from the X root window, taken in
    # the first session after the tests.
    local screen_status
    screen_status=$(cat "$logs/screen.status" 2>/dev/null || echo 1)
    sed 's/^/   /' "$logs/screen.log" | grep -v '^   *$'
    count_check "view on the root window ($logs/screen.png)" "$screen_status"
    # scripts/run as a user with a desktop runs it, on a stand-in display.
    local display_status=0
    waiting bash "$repo/tests/e2e/run_on_display_check.sh" "$logs/run-on-display" \
        >"$logs/run-on-display.log" 2>&1 || display_status=1
    grep -E '^view |misses|^no |did not|ended with' "$logs/run-on-display.log" | sed 's/^/   /'
    count_check "scripts/run on a display ($logs/run-on-display/root.png)" "$display_status"
    # This script's own rules: Ctrl-C ends all it started; a root it did not
    # make is neither used nor removed.
    GLINSPECT_LANE_ROOT=$lane_root waiting python3 "$repo/tests/e2e/lane_stop_check.py" \
        >"$logs/lane-stop.log" 2>&1
    grep -E '^(passed|FAILED): ' "$logs/lane-stop.log" | sed 's/^/   /'
    lane_passed=$((lane_passed + $(grep -c '^passed: ' "$logs/lane-stop.log")))
    lane_failed=$((lane_failed + $(grep -c '^FAILED: ' "$logs/lane-stop.log")))
    grep -qE '^(passed|FAILED): ' "$logs/lane-stop.log" ||
        count_check "the lane's stop check gave no result ($logs/lane-stop.log)" 1
    echo "== $((SECONDS - started)) s for the Wine 10 lane; logs in $logs"
    echo "wine10 lane: $lane_passed passed, $lane_failed failed"
    [ "$lane_failed" -eq 0 ] && [ "$(cat "$logs/win32.status" 2>/dev/null)" = 0 ] &&
        [ "$(cat "$logs/e2e.status" 2>/dev/null)" = 0 ]
}

case "${1:-}" in
    __inside) shift; inside "$@" ;;
    setup) setup ;;
    test) test_lane ;;
    screenshot) shift; screenshot "$@" ;;
    ready) root_complete ;;
    remove) remove ;;
    run-on-display) shift; run_on_display "$@" ;;
    *) echo "usage: $0 setup|test|screenshot OUT.png|ready|remove|run-on-display [EXE [ARGS...]]" >&2; exit 2 ;;
esac
