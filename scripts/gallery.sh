#!/usr/bin/env bash
# Takes the pictures of every dialog of both language modules for docs/dialogs.md: builds, runs the
# gallery on a fresh machine that is kept, copies its PNG files into docs/ and removes the machine.
#
# usage: gallery.sh [build dir]   (default build/x86_64)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build/x86_64}
[ -f "$build/CMakeCache.txt" ] || cmake --preset x86_64 -B "$build" -S "$source_dir" >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" -R '^machine_template$' >/dev/null

"$source_dir/scripts/wine-run.sh" --build "$build" --name gallery --keep -- 'C:\tests\dialog_gallery.exe'
machine="$build/machines/gallery"
mkdir -p "$source_dir/docs"
cp "$machine"/drive_c/gallery/*.png "$source_dir/docs/"
rm -rf "$machine"
ls "$source_dir"/docs/*.png
