#!/usr/bin/env bash
# A program that faults under the test environment ends at once: reported as
# failed, with its fault address, long before any test's time limit.
#   fault_ends_at_once.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
here=$(dirname "$0")
out="$build/fault-output.txt"
start=$(date +%s)
timeout 60 "$here/../../scripts/wine-test.sh" "$build" "$build/win/tests/helper.exe" fault >"$out" 2>&1
code=$?
[ "$code" -ne 77 ] || { cat "$out"; exit 77; }  # no 32-bit program runs here
took=$(($(date +%s) - start))
cat "$out"
echo "exit code $code after $took s"
[ "$code" -ne 0 ] || { echo "FAIL: the faulting program reported success"; exit 1; }
[ "$code" -ne 124 ] && [ "$took" -lt 30 ] || { echo "FAIL: the faulting program did not end within 30 s"; exit 1; }
grep -Eiq 'fault.*(address|at) [0-9a-f]{8}' "$out" || { echo "FAIL: no fault address in the output"; exit 1; }
echo "ok: ended at once with its fault address"
