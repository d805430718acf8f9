#!/usr/bin/env bash
# The stream writers' events: a file held by another program is reported once as an error and
# once more, with the bytes that could not be written, when writing goes on; the texts are in the
# machine's language. Wine prints each string of an event on its eventlog channel on the standard
# error of the machine, which only the harness sees: the writer's own test case runs there.
#
# usage: stream_events_test.sh <source dir> <build dir> en|de
set -uo pipefail
source_dir=$1 build=$2 language=$3
output=$(WINEDEBUG=err+eventlog,warn+eventlog "$source_dir/scripts/wine-run.sh" --build "$build" \
  --name "tracesvc_events_test_$language" --language "$language" --timeout 120 -- \
  'C:\tests\tracesvc_rotating_test.exe' --gtest_filter='*HeldWithoutSharingIsOpenedAgain*' 2>&1)
echo "$output"
if [ "$language" = de ]; then
  failure=" kann nicht geschrieben werden. Der Text des Treibers wird verworfen, bis die Datei wieder geschrieben werden kann.\""
  resumed=" wird wieder geschrieben. 2600 Bytes vom Text des Treibers konnten nicht geschrieben werden.\""
else
  failure=" cannot be written. The driver's text is dropped until the file can be written again.\""
  resumed=" is written again. 2600 bytes of the driver's text could not be written.\""
fi
count() { grep -F -c "$1" <<<"$output"; }
failed=0
grep -q '\[  PASSED  \] 1 test' <<<"$output" || { echo "the writer's test case did not pass"; failed=1; }
[ "$(count "err:eventlog:ReportEventW L\"Varnek DialCore TraceService error: 32\"")" -eq 2 ] ||
  { echo "expected one error event heading for each of the two files"; failed=1; }
for file in RasLog RasTrc; do
  [ "$(count "err:eventlog:ReportEventW L\"C:\\\\temp\\\\rotating\\\\$file.TXT$failure")" -eq 1 ] ||
    { echo "expected one error event for $file.TXT"; failed=1; }
  [ "$(count "warn:eventlog:ReportEventW L\"C:\\\\temp\\\\rotating\\\\$file.TXT$resumed")" -eq 1 ] ||
    { echo "expected one warning event for $file.TXT, with the bytes lost"; failed=1; }
done
[ "$(count ":eventlog:ReportEventW")" -eq 8 ] || { echo "expected four events of two strings each"; failed=1; }
exit $failed
