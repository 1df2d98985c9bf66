#!/usr/bin/env bash
# Runs the benchmark under Wine on a virtual display for each N, then writes
# docs/performance.md and docs/performance.png. BENCH_SIZES="0 100" runs a
# trial at other sizes: its figures are printed, the documents left alone.
set -eu -o pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
sizes=${BENCH_SIZES:-"0 100 300 1000"}
out="$build/bench"
mkdir -p "$out"
results="$out/results.txt"
: >"$results"
"$root/scripts/test-env.sh" start "$build" >/dev/null
trap '"$root/scripts/test-env.sh" stop "$build" >/dev/null' EXIT
echo "bench: sizes $sizes (helpers are added from one size to the next)"
if ! "$root/scripts/wine-test.sh" "$build" "$build/win/tests/bench.exe" $sizes | sed -u 's/\r$//' | tee "$results"; then
  echo "bench: failed (see the lines starting with #); documents not written"
  exit 1
fi
if [ -n "${BENCH_SIZES:-}" ]; then
  echo "bench: trial sizes; documents not written"
  exit 0
fi
cp "$root/docs/performance.md" "$out/performance-before.md"
python3 "$root/bench/report.py" "$results" "$root/docs/performance.md" "$out/plot.dat" "$out/performance-before.md"
gnuplot -e "datafile='$out/plot.dat'; outfile='$root/docs/performance.png'" "$root/bench/plot.gp"
echo "bench: wrote docs/performance.md and docs/performance.png"
