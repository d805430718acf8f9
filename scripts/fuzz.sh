#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ natively with clang (libFuzzer, AddressSanitizer, UBSan) into
# build/fuzz and runs each for the given seconds on a copy of its seed corpus fuzz/corpus/<target>.
#   scripts/fuzz.sh [seconds] [target ...]     (default 20 s, every target)
# Prints per target the executions, the time, the new corpus units and the findings; a finding's
# input is kept in build/fuzz/run/<target>/ (crash-*, leak-*, timeout-*, oom-*) with its log.
# Exit code 0 without findings, 1 with findings, 2 when the targets cannot be built.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=20
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
build=${VRK_FUZZ_BUILD:-$root/build/fuzz}

cxx=${VRK_FUZZ_CXX:-}
if [ -z "$cxx" ]; then
  for candidate in clang++ clang++-19 clang++-18 clang++-17 clang++-16 clang++-15 clang++-14; do
    if command -v "$candidate" >/dev/null; then cxx=$(command -v "$candidate"); break; fi
  done
fi
if [ -z "$cxx" ]; then
  echo "fuzz.sh: no clang++ found (scripts/setup.sh installs it)" >&2
  exit 2
fi
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
mkdir -p "$build"
if ! cmake -S "$root/fuzz" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER="$cxx" >"$build/configure.log" 2>&1 ||
   ! cmake --build "$build" >"$build/build.log" 2>&1; then
  cat "$build/configure.log" "$build/build.log" 2>/dev/null | tail -40 >&2
  echo "fuzz.sh: the fuzz targets do not build (logs in $build)" >&2
  exit 2
fi

mapfile -t targets < "$build/targets.txt"
if [ $# -gt 0 ]; then targets=("$@"); fi

printf '%-22s %12s %8s %10s %9s\n' target executions seconds new-units findings
total_findings=0
for target in "${targets[@]}"; do
  [ -n "$target" ] || continue
  if [ ! -x "$build/$target" ]; then
    printf '%-22s not built (not in fuzz/CMakeLists.txt)\n' "$target"
    total_findings=$((total_findings + 1))
    continue
  fi
  run=$build/run/$target
  rm -rf "$run"
  mkdir -p "$run/corpus"
  if [ -d "$root/fuzz/corpus/$target" ]; then cp "$root/fuzz/corpus/$target"/* "$run/corpus/" 2>/dev/null; fi
  seeds=$(find "$run/corpus" -type f | wc -l)
  start=$(date +%s.%N)
  # A check that fails aborts the input, which libFuzzer keeps as crash-*; leaks end a run too.
  (cd "$run" && "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$run/" corpus >"$run/log" 2>&1)
  rc=$?
  end=$(date +%s.%N)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -1)
  units=$(find "$run/corpus" -type f | wc -l)
  findings=$(find "$run" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  if [ "$rc" -ne 0 ] && [ "$findings" -eq 0 ]; then findings=1; fi
  printf '%-22s %12s %8.1f %10d %9d\n' "$target" "${executions:-?}" "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" \
    $((units - seeds)) "$findings"
  if [ "$findings" -gt 0 ]; then
    grep -m3 -E 'check failed|ERROR: |runtime error|SUMMARY' "$run/log" | sed 's/^/    /'
    find "$run" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) |
      sed 's/^/    input: /'
    echo "    log: $run/log"
  fi
  total_findings=$((total_findings + findings))
done
[ "$total_findings" -eq 0 ]
