#!/usr/bin/env bash
# Configures and builds both presets: x86_64 (built and tested) and i686 (built only).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in x86_64 i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
