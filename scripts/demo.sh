#!/usr/bin/env bash
# The main job: set up, build, install the package into a freshly provisioned machine and show
# what it does there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build=build/x86_64
scripts/make-machine.sh "$build/machines/template"

# One machine for the whole scenario; its steps are the scripts in testbed/demo/.
scripts/wine-run.sh --build "$build" --name demo -- cmd.exe /c 'C:\testbed\demo\demo.cmd'
scripts/demo-tracesvc.sh "$build"
