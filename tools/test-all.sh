#!/usr/bin/env bash
# Runs every test: native (sanitizers on), then the 32-bit Windows build (checked without running
# it), then the 64-bit Windows build under Wine in a desktop made for this run.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
"$top/tools/install-deps.sh" || exit 1

passed=0
failed=0
status=0
run_suite() {
    local kind=$1
    echo "=== $kind: build"
    if ! "$top/tools/build.sh" "$kind"; then
        echo "=== $kind: build failed"
        status=1
        failed=$((failed + 1))
        return
    fi
    echo "=== $kind: tests"
    local log=$top/build/$kind/test-all.log
    (cd "$top/build/$kind" && ctest -j "${QX_TEST_JOBS:-2}" --output-on-failure --timeout 600) 2>&1 | tee "$log"
    local code=${PIPESTATUS[0]}
    local line
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$line" ]; then
        local total bad
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
        bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    elif [ "$code" -ne 0 ]; then
        failed=$((failed + 1))
    fi
    [ "$code" -eq 0 ] || status=1
}

run_suite native
run_suite win32
run_suite win64

echo
echo "all suites: $passed passed, $failed failed"
exit $status
