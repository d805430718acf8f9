#!/usr/bin/env bash
# The test command: set up the machine, build both presets and run every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset x86_64 "$@"
