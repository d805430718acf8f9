#!/usr/bin/env bash
# Runs one Windows program on a fresh machine of its own: clones the template machine (hard links
# for system binaries, fresh copies of the registry and every other file a program may rewrite),
# installs the package into %SystemRoot%\SYSTEM32\VARNEK, copies the testbed to C:\testbed (its
# substitutes of the system's own programs to %SystemRoot%\SYSTEM32), the tests to C:\tests and the
# benchmarks to C:\bench, starts an X display and a persistent wineserver for the clone, runs the
# program with its output in files, prints the output, and removes the machine again.
#
# usage: wine-run.sh --build <build dir> --name <machine name> [--language en|de] [--timeout <s>]
#                    [--keep] [--save-folder <folder below C:> <host dir>] [--user-display]
#                    [--small-drive <letter> <size>] -- <windows program> [arguments...]
# --save-folder copies that folder of the machine to the host directory when the run ends;
# --user-display shows the program on $DISPLAY instead of an Xvfb display of its own;
# --small-drive gives the machine a drive of its own of that size (a tmpfs, "64k"), which a program
# can fill up: it needs the right to mount (root); without it the drive is missing and the run goes on.
# Exit code: the program's, or 124 when it ran past the time-out.
set -uo pipefail

build= name= language=en timeout_s=240 keep=${VRK_KEEP_MACHINE:-0} save_from= save_to= user_display=0
small_letter= small_size= small_mounted=
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --name) name=$2; shift 2 ;;
    --language) language=$2; shift 2 ;;
    --timeout) timeout_s=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --save-folder) save_from=$2; save_to=$3; shift 3 ;;
    --user-display) user_display=1; shift ;;
    --small-drive) small_letter=$2; small_size=$3; shift 3 ;;
    --) shift; break ;;
    *) echo "wine-run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -n "$build" ] && [ -n "$name" ] && [ $# -ge 1 ] || { echo "usage: wine-run.sh --build DIR --name NAME -- PROGRAM [ARGS]" >&2; exit 2; }

build=$(cd "$build" && pwd)
template="$build/machines/template"
machine="$build/machines/$name"
[ -f "$template/.vrk-stamp" ] || { echo "wine-run.sh: no template machine in $template (run the machine_template test)" >&2; exit 2; }

xvfb_pid=
cleanup() {
  WINEPREFIX="$machine" wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  if [ -n "$small_mounted" ]; then
    umount "$small_mounted" 2>/dev/null || umount -l "$small_mounted" 2>/dev/null
  fi
  if [ -n "$save_from" ] && [ -d "$machine/drive_c/$save_from" ]; then
    rm -rf "$save_to" && mkdir -p "$save_to" && cp -a "$machine/drive_c/$save_from/." "$save_to/"
  fi
  if [ "$keep" = 1 ]; then echo "machine kept in $machine"; else rm -rf "$machine"; fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# The clone: system binaries are never rewritten by Wine, so they are shared with the template.
rm -rf "$machine"
cp -al "$template" "$machine"
find "$machine" -type f ! -iregex '.*\.\(dll\|exe\|sys\|drv\|cpl\|ocx\|acm\|tlb\|nls\|ttf\|fon\|ax\|ds\|mui\|dll16\|exe16\|drv16\|mod16\|vxd\)' -print0 |
  while IFS= read -r -d '' f; do cp --remove-destination -p "$f" "$f.vrk-copy" && mv -f "$f.vrk-copy" "$f"; done

maker_dir="$machine/drive_c/windows/system32/VARNEK"
mkdir -p "$maker_dir" "$machine/drive_c/tests" "$machine/drive_c/testbed" "$machine/drive_c/temp"
cmake --install "$build" --prefix "$maker_dir" --component package >/dev/null || exit 2
[ -d "$build/tests-bin" ] && cp -a "$build/tests-bin/." "$machine/drive_c/tests/"
[ -d "$build/testbed-bin" ] && cp -a "$build/testbed-bin/." "$machine/drive_c/testbed/"
# Substitutes of the system's own programs go where a real machine has them; a file of the same
# name may be a hard link into the template, so it is replaced, never written through.
[ -d "$build/testbed-system32" ] && cp -a --remove-destination "$build/testbed-system32/." "$machine/drive_c/windows/system32/"
[ -d "$build/bench-bin" ] && mkdir -p "$machine/drive_c/bench" && cp -a "$build/bench-bin/." "$machine/drive_c/bench/"

if [ -n "$small_letter" ]; then
  small_dir="$machine/.small-drive"
  mkdir -p "$small_dir"
  if mount -t tmpfs -o "size=$small_size" tmpfs "$small_dir" 2>/dev/null; then
    small_mounted=$small_dir
    ln -sfn "$small_dir" "$machine/dosdevices/${small_letter,,}:"
  else
    echo "wine-run.sh: no drive ${small_letter}: of $small_size: cannot mount a volume here (not root?)" >&2
  fi
fi

# A display of its own; Xvfb picks a free number and tells it through a file descriptor.
display_file="$machine/.display"
if [ "$user_display" = 1 ]; then
  [ -n "${DISPLAY:-}" ] || { echo "wine-run.sh: --user-display needs DISPLAY" >&2; exit 2; }
else
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
[ -s "$display_file" ] || { echo "wine-run.sh: Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$(head -n1 "$display_file")"
fi

export WINEPREFIX="$machine"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes the system's language from LC_ALL; no locale needs to be installed for that.
if [ "$language" = de ]; then locale_name=de_DE.UTF-8; else locale_name=en_US.UTF-8; fi
unset LANG LANGUAGE LC_ALL

# The server first, its output nowhere, so that no background process holds a pipe of ours.
wineserver -p </dev/null >/dev/null 2>&1

cd "$machine/drive_c"
out="$machine/.stdout" err="$machine/.stderr"
LC_ALL=$locale_name timeout -k 10 "$timeout_s" wine "$@" </dev/null >"$out" 2>"$err"
rc=$?
# A program that crashes ends with exit code 0 under Wine's automatic debugger: never a pass.
if [ $rc -eq 0 ] && grep -q '^wine: Unhandled ' "$err"; then
  echo "wine-run.sh: a program crashed (see standard error)" >&2
  rc=1
fi
cat "$out"
[ -s "$err" ] && { echo "--- standard error ---"; cat "$err"; }
[ $rc -eq 124 ] && echo "wine-run.sh: $1 ran past its time-out of ${timeout_s} s" >&2
exit $rc
