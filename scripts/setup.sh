#!/usr/bin/env bash
# Installs what T7Demo needs from Debian 12, then builds and stages it in
# ./stage (bin/T7Demo, bin/t7sim, lib/libqvd.so). Safe to run again: it only
# installs missing packages and rebuilds what changed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${T7_BUILD_DIR:-$root/build}"
stage="$root/stage"

packages=(
  build-essential cmake ninja-build pkg-config binutils
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev
  nlohmann-json3-dev nettle-dev
  fonts-dejavu-core fonts-wqy-microhei fontconfig
  xvfb xauth
  pcscd libpcsclite-dev vsmartcard-vpcd
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root (or install sudo) to install packages." >&2; exit 1; }
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The sanitizer and fuzzing scripts build elsewhere: packages only.
if [ -n "${T7_PACKAGES_ONLY:-}" ]; then
  exit 0
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" --prefix "$stage" >/dev/null
