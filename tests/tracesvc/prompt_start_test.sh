#!/usr/bin/env bash
# TraceLogSvc started from a command prompt: the dispatcher fails, exactly one error event is
# reported, and neither the trace nor the log file is opened. Wine prints each string of an error
# event on its eventlog channel on the standard error of the machine, which only the harness sees.
#
# usage: prompt_start_test.sh <source dir> <build dir>
set -uo pipefail
source_dir=$1 build=$2
maker='C:\windows\system32\VARNEK'
output=$(WINEDEBUG=err+eventlog "$source_dir/scripts/wine-run.sh" --build "$build" --name tracesvc_prompt_test \
  --timeout 120 -- cmd.exe /c \
  "$maker\\TraceLogSvc.exe & if exist $maker\\RasTrc.TXT echo trace file opened & if exist $maker\\RasLog.TXT echo log file opened" 2>&1)
echo "$output"
events=$(grep -c 'err:eventlog:ReportEventW' <<<"$output")
first=$(grep -c 'ReportEventW L"Varnek DialCore TraceService error: 1063"' <<<"$output")
second=$(grep -c 'ReportEventW L"StartServiceCtrlDispatcher failed."' <<<"$output")
failed=0
[ "$events" -eq 2 ] || { echo "expected the two strings of one event, found $events event strings"; failed=1; }
[ "$first" -eq 1 ] || { echo "expected one event with 'Varnek DialCore TraceService error: 1063'"; failed=1; }
[ "$second" -eq 1 ] || { echo "expected one event with 'StartServiceCtrlDispatcher failed.'"; failed=1; }
if grep -q 'file opened' <<<"$output"; then echo "a stream file was opened"; failed=1; fi
exit $failed
