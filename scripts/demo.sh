#!/usr/bin/env bash
# The main job: set up, build, and run an installation's whole life on one freshly provisioned
# machine (install, configure, run, monitor, remove), driven by the demo robot; its report
# (Markdown with pictures) lands in build/x86_64/demo-report.
#
# usage: scripts/demo.sh [--interactive | --unattended] [--language en|de] [--windows VERSION]
#                        [--no-build] [--report DIR] [--save-example]
#   --windows       the version of Windows every program of the package sees: nt351, nt40 (the
#                   default), win2k, winxp, win7 or win10.
#   --interactive   shows the machine on your display ($DISPLAY) and leaves the configuration
#                   center to you; the run goes on when you close it.
#   --unattended    install, configure and remove take their answers from testbed/demo/answers.ini
#                   (the answer file named in SOFTWARE\VARNEK\VrkSetup AnswerFile), no dialog shown.
#   --report        where the report goes (build/x86_64/demo-report).
#   --save-example  replaces the example report in docs/demo-report with this run's.
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: scripts/demo.sh [--interactive | --unattended] [--language en|de]
                       [--windows nt351|nt40|win2k|winxp|win7|win10] [--no-build] [--report DIR] [--save-example]"
interactive=() mode=() display=() language=en windows=nt40 build_first=1 timeout=300 save_example=0 report=
while [ $# -gt 0 ]; do
  case "$1" in
    --interactive) interactive=(--interactive); display=(--user-display); timeout=3600; shift ;;
    --unattended) mode=(--unattended); shift ;;
    --language) language=${2:-}; shift 2 ;;
    --windows) windows=${2:-}; shift 2 ;;
    --no-build) build_first=0; shift ;;
    --report) report=${2:-}; shift 2 ;;
    --save-example) save_example=1; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
case "$language" in en|de) ;; *) echo "$usage" >&2; exit 2 ;; esac
case "$windows" in nt351|nt40|win2k|winxp|win7|win10) ;; *) echo "$usage" >&2; exit 2 ;; esac
if [ "$build_first" = 1 ]; then
  scripts/setup.sh
  scripts/build.sh
fi
build=build/x86_64
scripts/make-machine.sh "$build/machines/template"

report=$(realpath -m "${report:-$build/demo-report}")
[ ${#interactive[@]} -gt 0 ] && echo "demo: the configuration center opens on $DISPLAY; close it to go on"
start=$(date +%s)
rc=0
# A machine of its own per combination, so that several can run side by side.
scripts/wine-run.sh --build "$build" --name "demo-$windows-$language" --language "$language" --timeout "$timeout" \
  --save-folder demo-report "$report" "${display[@]}" -- cmd.exe /c 'C:\testbed\demo\demo.cmd' \
  --windows "$windows" "${interactive[@]}" "${mode[@]}" || rc=$?
echo "demo: $(( $(date +%s) - start )) s on the machine; report: $report/report.md"
if [ "$save_example" = 1 ] && [ -f "$report/report.md" ]; then
  rm -rf docs/demo-report && cp -a "$report" docs/demo-report && echo "demo: example report saved in docs/demo-report"
fi
exit $rc
