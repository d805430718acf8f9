#!/usr/bin/env bash
# The main job on every version of Windows the package knows, in English and German: one run of
# scripts/demo.sh per combination, each on a fresh machine of its own, several side by side, and a
# table of their step results in docs/matrix.md.
#
# usage: scripts/matrix.sh [--no-build] [--jobs N] [--output FILE]
#   --jobs    runs side by side (2; each run keeps about one core busy)
#   --output  where the table goes (docs/matrix.md)
# The reports of the runs stay in build/x86_64/matrix/<version>-<language>/ with the output of
# each run beside them (<version>-<language>.log). Exit code 1 when a run failed.
set -uo pipefail
cd "$(dirname "$0")/.."
versions=(nt351 nt40 win2k winxp win7 win10)
languages=(en de)
build_first=1 jobs=2 output=docs/matrix.md
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build_first=0; shift ;;
    --jobs) jobs=${2:-}; shift 2 ;;
    --output) output=${2:-}; shift 2 ;;
    *) echo "usage: scripts/matrix.sh [--no-build] [--jobs N] [--output FILE]" >&2; exit 2 ;;
  esac
done
[[ "$jobs" =~ ^[1-9][0-9]*$ ]] || { echo "matrix.sh: --jobs takes a number from 1" >&2; exit 2; }
set -e
if [ "$build_first" = 1 ]; then
  scripts/setup.sh
  scripts/build.sh
fi
build=build/x86_64
# The template once, before the runs share it.
scripts/make-machine.sh "$build/machines/template"
set +e
runs="$build/matrix"
rm -rf "$runs" && mkdir -p "$runs"

# One run: its output in <name>.log, its wall time and exit code in <name>.run.
run_one() {
  local windows=$1 language=$2 name="$1-$2" start rc=0
  start=$(date +%s)
  scripts/demo.sh --no-build --windows "$windows" --language "$language" --report "$runs/$name" \
    >"$runs/$name.log" 2>&1 || rc=$?
  echo "$(( $(date +%s) - start )) $rc" >"$runs/$name.run"
  echo "matrix: $name ended with $rc after $(( $(date +%s) - start )) s"
}

start=$(date +%s)
running=0
for windows in "${versions[@]}"; do
  for language in "${languages[@]}"; do
    if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
    echo "matrix: $windows-$language ..."
    run_one "$windows" "$language" &
    running=$((running + 1))
  done
done
wait
total=$(( $(date +%s) - start ))

# The table: a row per run, a column per step as the robot names them in steps.tsv.
failed=0
steps=$(cut -f1 "$runs"/*/steps.tsv 2>/dev/null | grep -v '^whole run$' | sort -u)
{
  echo "# The main job on every version of Windows, in English and German"
  echo
  echo "\`scripts/matrix.sh\` ran the main job (\`scripts/demo.sh --windows VERSION --language LANGUAGE\`) once per"
  echo "combination, each on a fresh machine of its own, $jobs side by side on a machine of $(nproc) cores; all"
  echo "${#versions[@]}x${#languages[@]} runs took $total s. Each cell is the step's result as the robot reports it; a"
  echo "failed step names the first thing that went wrong. The time is the run's, from the clone of the machine"
  echo "to its removal (the robot's own steps in brackets). The reports are in \`build/x86_64/matrix/\`."
  echo
  printf '| Windows | Language |'
  while read -r step; do printf ' %s |' "$step"; done <<<"$steps"
  printf ' Time |\n|---|---|'
  while read -r step; do printf -- '---|'; done <<<"$steps"
  printf -- '---|\n'
  for windows in "${versions[@]}"; do
    for language in "${languages[@]}"; do
      name="$windows-$language" table="$runs/$windows-$language/steps.tsv"
      read -r seconds rc <"$runs/$name.run" 2>/dev/null || { seconds=?; rc=?; }
      [ "$rc" = 0 ] || failed=1
      printf '| %s | %s |' "$windows" "$language"
      while read -r step; do
        cell=$(awk -F'\t' -v s="$step" '$1 == s { print $2 }' "$table" 2>/dev/null)
        printf ' %s |' "${cell:-**did not run**}"
      done <<<"$steps"
      robot=$(awk -F'\t' '$1 == "whole run" { print $3 }' "$table" 2>/dev/null)
      if [ "$rc" = 0 ]; then
        printf ' %s s (%s) |\n' "$seconds" "${robot:-?}"
      else
        # The run's last words name what ended it when no step did (a time-out, a crash).
        printf ' %s s (%s), **ended with %s**: %s |\n' "$seconds" "${robot:-?}" "$rc" \
          "$(grep -v '^$' "$runs/$name.log" | tail -n 1 | sed 's/|/\\|/g')"
      fi
    done
  done
  echo
  cat <<'EOF'
## What the version changes

Every program of the package (and the system's programs it starts) sees the version through
Wine's setting per program name, as an unchanged Windows of that version would report it to a
program without a manifest; Windows 10 says 6.2, build 9200, as it does to such programs.

- **nt351** (Windows NT 3.51, build 1057): files in use when the package removes them are
  appended to `%SystemRoot%\DELETE.LST`, which the system's start works through; the machine's
  restart does that after `wineboot -r`, and the remove step counts them "through DELETE.LST".
  A file handed to `PendingFileRenameOperations` there would be a fault (the step says so).
- **nt40** (Windows NT 4.0, build 1381) and later: the same files go to
  `PendingFileRenameOperations`, which `wineboot -r` carries out as the system's start does.
- **nt351, nt40**: VrkClean calls `CPlSetup` of the network control panel `NCPA.CPL` with "0"
  and "NCPA" before its restart question; the remove step checks the call in the stand-in's
  journal.
- **win2k, winxp, win7, win10**: there is no `NCPA.CPL` with `CPlSetup`; the machine has none,
  VrkClean logs "Can't load NCPA.CPL" and goes on to the restart question. That is no failure:
  the remove step says "no NCPA.CPL" and checks the log line.
- The service group order (`VrkMprTraceGroup` before "Streams Drivers") and the SNMP extension
  agent are written the same way on every version; the machine offers the same group order and
  SNMP service on each.
- **de**: the machine's default language is German (`LC_ALL=de_DE.UTF-8`), so the package
  loads `LANGGER.DLL`: every dialog and message is the German one; the setup log's lines are
  the same in both languages.
EOF
} >"$output"
echo "matrix: $total s for all runs; table in $output"
exit $failed
