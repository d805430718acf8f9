#!/usr/bin/env bash
# The trace service's part of the main job on a fresh machine of its own: provision, load the
# substitute VrkRas driver, start TraceLogSvc as VrkRasTraceSV, let the driver produce trace and log
# text for a few seconds, stop, and show the files and the diagnostic log.
#
# usage: scripts/demo-tracesvc.sh [build dir]   (default build/x86_64, built and with a template machine)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/x86_64}
scripts/make-machine.sh "$build/machines/template" >/dev/null
scripts/wine-run.sh --build "$build" --name demo-tracesvc -- cmd.exe /c 'C:\testbed\tracedemo.cmd'
