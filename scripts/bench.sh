#!/usr/bin/env bash
# Runs the benchmarks of bench/ on fresh machines, each job against the platform doing the same work
# with its bare calls in the same run:
#   scripts/bench.sh all                      every benchmark, then one table of every ratio
#   scripts/bench.sh <name> [arguments...]    one benchmark program (common_bench, cleanup_bench,
#                                             tracesvc_drain, tracesvc_idle_cpu)
# Builds the x86_64 preset's benchmarks first. "all" keeps each program's whole output in
# build/x86_64/bench-results/ and exits with 1 when a figure misses its goal.
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/bench.sh all | <benchmark name> [arguments...]}
shift
build=build/x86_64
[ -f "$build/build.ninja" ] || cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64 --target benchmarks >/dev/null
scripts/make-machine.sh "$build/machines/template" >/dev/null

run() {
  local program=$1
  shift
  scripts/wine-run.sh --build "$build" --name "bench-$program" --timeout 1800 -- "C:\\bench\\$program.exe" "$@"
}

if [ "$name" != all ]; then
  run "$name" "$@"
  exit
fi

# One after the other: two benchmarks side by side would each measure the other.
results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"
benchmarks=(
  "common_bench"
  "cleanup_bench 5"
  "tracesvc_drain 9 3000"
  "tracesvc_idle_cpu 20 5"
)
failed=0
outputs=()
for entry in "${benchmarks[@]}"; do
  read -r program arguments <<<"$entry"
  outputs+=("$results/$program.txt")
  echo "== $program $arguments" >&2
  # shellcheck disable=SC2086
  if ! run "$program" $arguments >"$results/$program.txt" 2>&1; then
    echo "bench.sh: $program failed; its output:" >&2
    cat "$results/$program.txt" >&2
    failed=1
  fi
  grep -v '^RESULT' "$results/$program.txt" >&2 || true
done

# The table: every RESULT line (job, figure, baseline, its figure, unit, ratio, goal, rounds).
cat "${outputs[@]}" | awk -F'\t' '
  BEGIN {
    print "| Job | Figure | Baseline in the same run | Baseline | Ratio | Goal | Rounds |"
    print "|---|---|---|---|---|---|---|"
  }
  $1 == "RESULT" {
    met = ""
    if ($8 ~ /^<= /) met = ($7 <= substr($8, 4) + 0) ? " (met)" : " (MISSED)"
    if ($8 ~ /^>= /) met = ($7 >= substr($8, 4) + 0) ? " (met)" : " (MISSED)"
    if (met == " (MISSED)") missed = 1
    printf "| %s | %s %s | %s | %s %s | %.2f | %s%s | %d |\n", $2, $3, $6, $4, $5, $6, $7, ($8 == "-" ? "" : $8), met, $9
  }
  END { exit missed }' && exit $failed
exit 1
