#!/usr/bin/env bash
# Installs what building, running and testing glinspect need on Debian 12, as
# root. Does nothing when everything is already there.
set -euo pipefail

packages=(
    # The cross toolchain and the build.
    cmake make g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev
    # The Khronos registry the companion's table of entry points is made from.
    khronos-api
    # Native unit tests, sanitizers and fuzzing.
    g++ clang libclang-rt-14-dev googletest
    libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    # Wine, a virtual display and Mesa's 32-bit OpenGL for it.
    wine wine32:i386 xvfb xauth x11-utils
    libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386 libxcomposite1:i386
    # The icon, screenshots and pixel checks.
    icoutils imagemagick python3
    # The Wine 10 lane's Debian 13 root: made by mmdebstrap, entered with bwrap.
    mmdebstrap bubblewrap
    # The companion's --compare reads JSON with jsmn; the tests check its JSON
    # against docs/*.schema.json.
    libjsmn-dev python3-jsonschema
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]}; run this script as root to install them" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
dpkg --add-architecture i386
# A mirror in the middle of a sync refuses one index now and then; the install
# below says what is missing when the lists are really short of something.
for attempt in 1 2 3; do
    apt-get update -q && break
    echo "apt-get update failed (attempt $attempt); going on with the lists it has" >&2
    sleep 5
done
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
