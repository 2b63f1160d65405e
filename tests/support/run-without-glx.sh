#!/usr/bin/env bash
# Runs a Windows test program in a Wine session of its own whose X server has
# no GLX, so that no OpenGL context can be had.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-session.sh"
prefix=$(mktemp -d /tmp/glinspect-noglx.XXXXXX)
trap 'wine_session_stop; rm -rf "$prefix"' EXIT
wine_session_start "$prefix/prefix" -extension GLX
timeout 120 wine "$@" </dev/null 2>&1
