#!/usr/bin/env bash
# Counts the Wine server requests of one driver fetch the trace service's way and of each bare loop
# of tracesvc_idle_cpu (adapter number read, open, request, close; open of the known device,
# request, close), on a fresh machine with the substitute driver:
# the Wine server traces every request (wineserver -d1), the benchmark program marks out the fetches.
# usage: bench/tracesvc/round_trips.sh [build dir]      (after a build of the x86_64 preset)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(cd "${1:-build/x86_64}" && pwd)
scripts/make-machine.sh "$build/machines/template" >/dev/null
machine="$build/machines/bench-round-trips"
trace=$(mktemp)
xvfb_pid=
cleanup() {
  WINEPREFIX="$machine" wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  rm -rf "$machine" "$trace"
}
trap cleanup EXIT

# The machine as the harness lays it out (the run itself is only the lay-out), then the same
# program again under a server that traces.
scripts/wine-run.sh --build "$build" --name bench-round-trips --keep -- 'C:\bench\tracesvc_idle_cpu.exe' \
  --mark-round-trips >/dev/null 2>&1 || true
export WINEPREFIX="$machine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display_file="$machine/.display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$display_file")"
wineserver -f -d1 </dev/null >"$trace" 2>&1 &
sleep 1
(cd "$machine/drive_c" && wine 'C:\bench\tracesvc_idle_cpu.exe' --mark-round-trips </dev/null >/dev/null 2>&1)
wineserver -k >/dev/null 2>&1 || true
sleep 1

# Requests (not replies) of the marking thread between its markers, averaged over the rounds.
awk '
  /open_event\( .*name=L"round-trips-service"/ { thread = $1; phase = "service"; rounds++; next }
  /open_event\( .*name=L"round-trips-named"/   { phase = "named"; next }
  /open_event\( .*name=L"round-trips-known"/   { phase = "known"; next }
  /open_event\( .*name=L"round-trips-end"/     { phase = ""; next }
  phase != "" && $1 == thread && $2 ~ /^[a-z_]+\($/ {
    name = substr($2, 1, length($2) - 1)
    count[phase]++; kinds[phase, name]++; names[name] = 1
  }
  END {
    if (!rounds) { print "round_trips: no marked fetch in the server trace"; exit 1 }
    split("service named known", phases, " ")
    title["service"] = "the service (OpenDriverDevice)"
    title["named"] = "bare loop reading the adapter number"
    title["known"] = "bare loop on the known device"
    for (p = 1; p <= 3; p++) {
      phase = phases[p]
      line = ""
      for (n in names) if (kinds[phase, n]) line = line sprintf(" %s %g,", n, kinds[phase, n] / rounds)
      printf "%-38s %2g server requests per fetch:%s\n", title[phase], count[phase] / rounds, substr(line, 1, length(line) - 1)
    }
  }' "$trace"
