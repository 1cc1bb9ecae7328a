#!/usr/bin/env bash
# Installs everything the build and the test suite need on a fresh Debian 12 machine.
# Run as root. Quick when everything is already installed.
set -euo pipefail

native_packages=(
  cmake g++ make ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libosmesa6-dev libgl-dev libfreetype-dev libfontconfig-dev fontconfig fonts-liberation2
  fonts-dejavu-core fonts-wqy-microhei
  clang libclang-rt-14-dev libstb-dev
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  xvfb xauth wine unzip
)
i386_packages=(wine32:i386 libgl1:i386 libglx0:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386)

missing=()
for p in "${native_packages[@]}" "${i386_packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    exec sudo "$0" "$@"
  fi
  echo "setup: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${native_packages[@]}" "${i386_packages[@]}" >/dev/null
