#!/usr/bin/env bash
# The main job: set up, build, install the package into a freshly provisioned machine and show
# what it does there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build=build/x86_64
scripts/make-machine.sh "$build/machines/template"

echo "== version line of every installed deliverable"
scripts/wine-run.sh --build "$build" --name demo -- cmd.exe /c \
  'for %f in (C:\windows\system32\VARNEK\*.*) do @C:\windows\system32\VARNEK\verprint.exe %f'
