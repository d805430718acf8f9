#!/usr/bin/env bash
# The main job twice, each on a fresh machine of its own: once with the robot answering every
# dialog, once unattended from testbed/demo/answers.ini. Both runs must go well, and the registry
# and the package's files they leave after install+configure and after the removal must be the
# same (the runs write them as state-configured.txt and state-removed.txt; time stamps are not in
# them, and of the logs only the names).
#
# usage: tests/demo/answers_equal.sh <build dir> [<output dir>]
set -uo pipefail
build=$1
out=${2:-$build/answers-equal}
here=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$out" && mkdir -p "$out" && out=$(cd "$out" && pwd)

run() {  # name, report dir, robot arguments...
  local name=$1 dir=$2
  shift 2
  "$here/scripts/wine-run.sh" --build "$build" --name "$name" --timeout 300 --save-folder demo-report "$dir" \
    -- "C:\\testbed\\demo_robot.exe" --report "C:\\demo-report" "$@" >"$dir.out" 2>&1
}

run answers_equal_robot "$out/robot" &
robot=$!
run answers_equal_unattended "$out/unattended" --unattended &
unattended=$!
wait $robot; robot_rc=$?
wait $unattended; unattended_rc=$?

rc=0
for side in robot unattended; do
  grep -a '^demo: ' "$out/$side.out" | sed "s/^/$side /"
done
[ $robot_rc = 0 ] || { echo "the robot's run failed ($robot_rc): $out/robot.out, $out/robot/report.md"; rc=1; }
[ $unattended_rc = 0 ] || { echo "the unattended run failed ($unattended_rc): $out/unattended.out, $out/unattended/report.md"; rc=1; }
for state in configured removed; do
  a="$out/robot/state-$state.txt" b="$out/unattended/state-$state.txt"
  if [ ! -f "$a" ] || [ ! -f "$b" ]; then
    echo "state-$state.txt missing"; rc=1; continue
  fi
  keys=$(grep -ac '^HK' "$a"); files=$(grep -avc '^HK' "$a")
  if diff -u --label robot --label unattended "$a" "$b" >"$out/state-$state.diff"; then
    echo "after $state: equal, $keys registry values and keys, $files files and folders"
  else
    echo "after $state: different ($keys registry entries, $files files in the robot's run):"
    cat "$out/state-$state.diff"
    rc=1
  fi
done
exit $rc
