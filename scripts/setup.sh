#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine; does nothing when it is there.
# Wine's recommended packages (its fonts among them) come along: dialogs are measured and drawn
# with them. Never wine32: these machines cannot run 32-bit Linux programs, and with it the wine launcher
# picks the 32-bit loader.
set -euo pipefail

packages=(wine64 wine fonts-wine g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix mingw-w64-tools
          cmake ninja-build xvfb xauth googletest zlib1g-dev libz-mingw-w64-dev)
# The fuzz targets of the plain parsers are built natively with clang and its libFuzzer.
packages+=(clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=; [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
  echo "setup.sh: wine32 is installed; remove it (apt-get remove wine32), it breaks wine on this machine" >&2
  exit 1
fi
