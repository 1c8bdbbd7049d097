#!/usr/bin/env bash
# Configures and builds the three configurations under build/:
#   build/windows  the whole suite for Win32 (MinGW-w64), tests run under Wine
#   build/native   the portable core with g++, AddressSanitizer and UndefinedBehaviorSanitizer
#   build/fuzz     the portable core and the fuzz targets with clang and libFuzzer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
jobs=${ZORVANE_JOBS:-$(nproc)}
only=${1:-all}

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  fi
}

if [ "$only" = all ] || [ "$only" = windows ]; then
  configure "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
  cmake --build "$build/windows" -j "$jobs"
fi
if [ "$only" = all ] || [ "$only" = native ]; then
  configure "$build/native" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc
  cmake --build "$build/native" -j "$jobs"
fi
if [ "$only" = all ] || [ "$only" = fuzz ]; then
  configure "$build/fuzz" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZORVANE_FUZZ=ON
  cmake --build "$build/fuzz" -j "$jobs"
fi
