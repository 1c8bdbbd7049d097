#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the suite. Idempotent: fast when all is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth
  clang libclang-rt-14-dev
  googletest libgtest-dev
  libpugixml-dev
  iproute2
  imagemagick
  fonts-nanum
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
