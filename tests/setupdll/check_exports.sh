#!/usr/bin/env bash
# Checks that VRKSUDLL.DLL exports every name of its .def file undecorated and nothing else, for
# each DLL given: usage: check_exports.sh <vrksudll.def> <objdump>:<dll> ...
set -uo pipefail
def=$1
shift
expected=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | awk 'NF {print $1}' | sort)
status=0
for pair in "$@"; do
  objdump=${pair%%:*} dll=${pair#*:}
  if [ ! -f "$dll" ]; then
    echo "missing $dll: build both presets first (scripts/build.sh)"
    status=1
    continue
  fi
  actual=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
           sed -n 's/^\s*\[\s*[0-9]*\]\s*\(\S*\)$/\1/p' | sort)
  if [ "$actual" != "$expected" ]; then
    echo "$dll exports differ from the .def file:"
    diff <(echo "$expected") <(echo "$actual")
    status=1
  else
    echo "$dll: $(echo $actual)"
  fi
done
exit $status
