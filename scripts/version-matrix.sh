#!/usr/bin/env bash
# Runs the end-to-end suite once for each Windows version Wine reports to
# glinspect.exe, in the Wine session already started (DISPLAY, WINEPREFIX).
#
#   scripts/version-matrix.sh E2E_TESTS_EXE [VERSION...]
#
# Versions default to win95 win98 nt40 winxp win10. Prints one line per
# version and "matrix: N passed, N failed" at the end; exits non-zero when
# any version failed.
set -uo pipefail
exe=$1; shift
versions=("$@")
[ ${#versions[@]} -gt 0 ] || versions=(win95 win98 nt40 winxp win10)
appdefaults='HKCU\Software\Wine\AppDefaults'
# The dialog and its console companion see the same version.
programs=(glinspect.exe glinspect-report.exe)
logs=${GLINSPECT_LOGS:-$(mktemp -d /tmp/glinspect-matrix.XXXXXX)}

passed=0
failed=0
for version in "${versions[@]}"; do
    log="$logs/matrix-$version.log"
    for program in "${programs[@]}"; do
        wine reg add "$appdefaults\\$program" /v Version /t REG_SZ /d "$version" /f </dev/null >/dev/null 2>&1
    done
    # The soak runs once, in the main suite; the error path needs a display without GLX.
    GLINSPECT_WINDOWS_VERSION=$version timeout 600 wine "$exe" \
        --gtest_filter='-NoGlx.*:Soak*.*' </dev/null >"$log" 2>&1
    status=$?
    ran=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$log" | tail -1)
    ok=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log" | tail -1)
    skipped=$(sed -nE 's/^\[  SKIPPED \] ([0-9]+) tests?, .*/\1/p' "$log" | tail -1)
    ran=${ran:-0}; ok=${ok:-0}; skipped=${skipped:-0}
    bad=$((ran - ok - skipped))
    if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then bad=1; fi
    passed=$((passed + ok))
    failed=$((failed + bad))
    printf '%-6s %3d passed, %d failed, %d skipped (the other family)%s\n' \
        "$version" "$ok" "$bad" "$skipped" "$([ "$bad" -eq 0 ] || echo "; see $log")"
    [ "$bad" -eq 0 ] || grep -E '^\[  FAILED  \]|Failure' "$log" | head -20
done
for program in "${programs[@]}"; do
    wine reg delete "$appdefaults\\$program" /f </dev/null >/dev/null 2>&1
done
echo "matrix: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
