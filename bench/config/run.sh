#!/usr/bin/env bash
# Builds the Windows build and times ZorvaneConf's start under Wine, on the program as cmake --install lays it
# out (stripped): started on each page, with 10 and 20,000 hosts in both host files.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
bash "$root/scripts/build.sh" windows >/dev/null
installed="$build/windows/bench-root"
rm -rf "$installed"
cmake --install "$build/windows" --prefix "$installed" >/dev/null
. "$root/scripts/wine-env.sh"
wine_env_start
wine_env_hold_desktop "$build/windows"
ZORVANE_TEST_SOURCE="$root" ZORVANE_TEST_BINARY="$build/windows" ZORVANE_PROGRAM_DIR="$installed/bin" \
  wine "$build/windows/bench/conf_start_bench.exe"
