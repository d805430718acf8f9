#!/usr/bin/env bash
# Runs one benchmark program on a fresh machine: scripts/bench.sh <name> [arguments...]
# (the programs are in bench/; build first with scripts/build.sh or cmake --build --preset x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/bench.sh <benchmark name> [arguments...]}
shift
build=build/x86_64
scripts/make-machine.sh "$build/machines/template" >/dev/null
exec scripts/wine-run.sh --build "$build" --name "bench-$name" --timeout 1800 -- "C:\\bench\\$name.exe" "$@"
