#!/usr/bin/env bash
# Checks that VRKSUDLL.DLL of both targets exports every name of its .def file undecorated and
# nothing else: usage: check_exports.sh <build root> <vrksudll.def>
set -uo pipefail
root=$1 def=$2
expected=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | awk 'NF {print $1}' | sort)
status=0
for target in x86_64:x86_64-w64-mingw32 i686:i686-w64-mingw32; do
  preset=${target%%:*} triple=${target#*:}
  dll="$root/$preset/package/VRKSUDLL.DLL"
  if [ ! -f "$dll" ]; then
    echo "missing $dll: build the $preset preset first (scripts/build.sh builds both)"
    status=1
    continue
  fi
  actual=$("$triple-objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
           sed -n 's/^\s*\[\s*[0-9]*\]\s*\(\S*\)$/\1/p' | sort)
  if [ "$actual" != "$expected" ]; then
    echo "$preset exports differ from the .def file:"
    diff <(echo "$expected") <(echo "$actual")
    status=1
  else
    echo "$preset: $(echo $actual)"
  fi
done
exit $status
