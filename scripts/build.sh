#!/usr/bin/env bash
# Configures and builds the three configurations under build/:
#   build/windows  the whole suite for Win32 (MinGW-w64), tests run under Wine
#   build/native   the portable core with g++, AddressSanitizer and UndefinedBehaviorSanitizer
#   build/fuzz     the portable core and the fuzz targets with clang and libFuzzer
# and, only when asked for by name (bench), the benchmark build:
#   build/bench    the XML benchmark natively with g++, optimised as the programs are, without sanitizers
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
jobs=${ZORVANE_JOBS:-$(nproc)}
only=${1:-all}

build() {  # dir, extra cmake --build arguments...: builds quietly, showing the output only when the build fails
  local log
  log=$(mktemp)
  if ! cmake --build "$@" -j "$jobs" >"$log" 2>&1; then
    grep -E 'error|FAILED' "$log" | head -n 40
    tail -n 40 "$log"
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
  echo "built $1"
}

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  fi
}

if [ "$only" = all ] || [ "$only" = windows ]; then
  configure "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
  build "$build/windows"
fi
if [ "$only" = all ] || [ "$only" = native ]; then
  configure "$build/native" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc
  build "$build/native"
fi
if [ "$only" = all ] || [ "$only" = fuzz ]; then
  configure "$build/fuzz" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZORVANE_FUZZ=ON
  build "$build/fuzz"
fi
if [ "$only" = bench ]; then
  configure "$build/bench" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc -DZORVANE_SANITIZE=OFF
  build "$build/bench" --target xml_bench
fi
