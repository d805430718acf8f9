#!/usr/bin/env bash
# The import check against the runtimes of both thread models: a static C++17 program built with
# the win32 model passes, the same program built with the posix model (winpthreads) is refused for
# GetTickCount64 and the vectored exception handlers.
# usage: nt4_imports_runtimes.sh <check_deliverables.sh> <nt4_imports.txt> <probe.cpp> <arch> <triple>
set -uo pipefail
check=$1 list=$2 probe=$3 arch=$4 triple=$5
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
for model in win32 posix; do
  compiler=$triple-g++-$model
  command -v "$compiler" >/dev/null || { echo "$compiler is missing (scripts/setup.sh installs it)"; exit 1; }
  "$compiler" -std=c++17 -O2 -static -s -o "$scratch/probe-$model.exe" "$probe" || exit 1
  output=$("$check" imports "$list" "$arch:$triple-objdump:$scratch/probe-$model.exe")
  rc=$?
  echo "$output"
  if [ $model = win32 ]; then
    [ $rc -eq 0 ] || { echo "the win32 runtime was refused"; status=1; }
  else
    for name in GetTickCount64 AddVectoredExceptionHandler RemoveVectoredExceptionHandler; do
      grep -q "KERNEL32.dll!$name " <<<"$output" || { echo "the posix runtime's $name went unnoticed"; status=1; }
    done
    [ $rc -eq 1 ] || { echo "the posix runtime passed the check"; status=1; }
  fi
done
exit $status
