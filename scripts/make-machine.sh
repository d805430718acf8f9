#!/usr/bin/env bash
# Makes the template machine: a Wine prefix initialised once, single-threaded, with the testbed's
# machine data (testbed/machine/*.reg) and directories, and without drive Z: or links to the host's
# home directory, so that no program under test can walk the host's file system. Remade only when its inputs changed.
#
# usage: make-machine.sh <template dir>
set -euo pipefail

template=$(realpath -m "${1:?usage: make-machine.sh <template dir>}")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
machine_data="$source_dir/testbed/machine"

stamp_text=$( { wine --version 2>/dev/null; cat "$0"; cat "$machine_data"/*.reg "$machine_data"/directories.txt 2>/dev/null; } | sha256sum | cut -d' ' -f1)
if [ -f "$template/.vrk-stamp" ] && [ "$(cat "$template/.vrk-stamp")" = "$stamp_text" ]; then
  echo "template machine up to date: $template"
  exit 0
fi

rm -rf "$template"
mkdir -p "$(dirname "$template")"
export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# One process at a time while the prefix is new: parallel first use breaks the server.
wine wineboot -i </dev/null >"$template.log" 2>&1 || { echo "make-machine.sh: wineboot failed, see $template.log" >&2; exit 1; }
wineserver -w

for reg in "$machine_data"/*.reg; do
  [ -e "$reg" ] || continue
  wine regedit /S "Z:$(echo "$reg" | tr / '\\')" </dev/null >>"$template.log" 2>&1 ||
    { echo "make-machine.sh: regedit failed for $reg, see $template.log" >&2; exit 1; }
done
wineserver -w

while read -r dir; do
  case "$dir" in ''|'#'*) continue ;; esac
  mkdir -p "$template/drive_c/$dir"
done < "$machine_data/directories.txt"

# Wine looks for its own fonts (Marlett for the caption buttons, Tahoma behind "MS Shell Dlg", the
# MS Sans Serif bitmaps) in C:\windows\Fonts and in /usr/share/wine/../fonts, where this build of
# Wine expects them, while Debian's fonts-wine (which libwine only recommends) puts them in
# /usr/share/wine/fonts. Without them the caption buttons show Marlett's character codes, "0 1 r",
# in a text font, and every dialog is drawn in a stand-in for Tahoma.
wine_fonts=/usr/share/wine/fonts
[ -d "$wine_fonts" ] || { echo "make-machine.sh: $wine_fonts is missing (package fonts-wine)" >&2; exit 1; }
cp "$wine_fonts"/*.ttf "$wine_fonts"/*.fon "$template/drive_c/windows/Fonts/"

# Wine links the user's shell folders to the host's home directory; an NT machine has plain folders.
find "$template/drive_c" -type l -print0 | while IFS= read -r -d '' link; do
  rm -f "$link" && mkdir -p "$link"
done
rm -f "$template/dosdevices/z:"
echo "$stamp_text" > "$template/.vrk-stamp"
echo "template machine made: $template"
