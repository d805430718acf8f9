#!/usr/bin/env bash
# Checks the package as it is installed, for each build given:
#   check_deliverables.sh imports <nt4_imports.txt> <arch>:<objdump>:<build dir or PE file> ...
#     every import of every deliverable comes from a system DLL of Windows NT 4.0 and names a
#     function NT 4.0 has (arch x86_64 also allows the list's win64 names);
#   check_deliverables.sh stripped <arch>:<objdump>:<build dir or PE file> ...
#     no deliverable carries a symbol table or debug sections.
# A build directory is installed into a temporary folder first, as the package's install rule
# lays it out in the maker's directory. Exit code 0 when everything passes, 1 otherwise.
set -uo pipefail

mode=${1:-}
shift || true
list=
if [ "$mode" = imports ]; then list=${1:?usage: check_deliverables.sh imports <list> <arch>:<objdump>:<path> ...}; shift; fi
[ "$mode" = imports ] || [ "$mode" = stripped ] || { echo "usage: check_deliverables.sh imports|stripped ..." >&2; exit 2; }
[ $# -ge 1 ] || { echo "check_deliverables.sh: no build given" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The import table as "DLL function" lines, functions imported by ordinal as "DLL #n".
imports_of() {
  "$1" -p "$2" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^The .* Table|^PE File Base Relocations|^The Export Tables/ { inside = 0 }
    !inside { next }
    /DLL Name:/ { dll = $3; next }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll, $3; next }
    dll != "" && /^\t[0-9a-f]+\t +<none> +[0-9a-f]+ *$/ { print dll, "#" $3 }'
}

status=0
for build_entry in "$@"; do
  arch=${build_entry%%:*} rest=${build_entry#*:}
  objdump=${rest%%:*} path=${rest#*:}
  if [ -d "$path" ]; then
    dir="$scratch/$arch"
    if [ ! -f "$path/cmake_install.cmake" ] ||
       ! cmake --install "$path" --prefix "$dir" --component package >/dev/null 2>&1; then
      echo "$path: no build to install; build both presets first (scripts/build.sh)"
      status=1
      continue
    fi
    files=$(find "$dir" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
  elif [ -f "$path" ]; then
    files=$path
  else
    echo "$path: missing; build both presets first (scripts/build.sh)"
    status=1
    continue
  fi
  [ -n "$files" ] || { echo "$path: installs no deliverable"; status=1; continue; }

  while IFS= read -r file; do
    name="$arch/$(basename "$file")"
    if [ "$mode" = stripped ]; then
      header=$("$objdump" -p "$file") || { echo "$name: not a PE file"; status=1; continue; }
      debug=$("$objdump" -h "$file" | awk '$2 ~ /^\.(debug|zdebug|stab)/ {print $2}' | tr '\n' ' ')
      if ! grep -q 'symbols stripped' <<<"$header" || [ -n "$debug" ]; then
        echo "$name: carries a symbol table or debug sections ${debug}"
        status=1
      else
        echo "$name: stripped, $(stat -c %s "$file") bytes"
      fi
      continue
    fi
    table=$(imports_of "$objdump" "$file")
    bad=$(awk -v arch="$arch" '
      FNR == NR {
        if ($0 ~ /^#/ || NF == 0) next
        if ($1 == "dll") { dlls[tolower($2)] = 1; next }
        if ($1 == "win64") { absent[$2] = (arch == "x86_64") ? 0 : 1; next }
        absent[$1] = 1
        next
      }
      NF == 0 { next }
      !(tolower($1) in dlls) { print "  " $1 "!" $2 " (a DLL that Windows NT 4.0 does not have)"; next }
      ($2 in absent) && absent[$2] { print "  " $1 "!" $2 " (a function that Windows NT 4.0 SP6a lacks)" }
    ' "$list" <(printf '%s\n' "$table"))
    if [ -n "$bad" ]; then
      echo "$name: imports what Windows NT 4.0 cannot give it:"
      echo "$bad"
      status=1
    else
      echo "$name: $(printf '%s\n' "$table" | grep -c .) imports, all of Windows NT 4.0"
    fi
  done <<<"$files"
done
exit $status
