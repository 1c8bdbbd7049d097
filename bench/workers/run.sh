#!/usr/bin/env bash
# Builds the Windows build and runs the worker benchmarks under Wine against the stand-in service, on the
# programs as cmake --install lays them out (stripped):
#   run.sh [all|workers|cycle]   workers: cycles by host count; cycle: cycles against the yardstick
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
which=${1:-all}
case "$which" in all|workers|cycle) ;; *) echo "usage: $0 [all|workers|cycle]" >&2; exit 2 ;; esac
build=${ZORVANE_BUILD:-$root/build}
bash "$root/scripts/build.sh" windows >/dev/null
installed="$build/windows/bench-root"
rm -rf "$installed"
cmake --install "$build/windows" --prefix "$installed" >/dev/null
. "$root/scripts/wine-env.sh"
wine_env_start
# A stand-in service of its own, so that a test run in the same build folder keeps its own.
info="$build/windows/bench-service.txt"
python3 "$root/tests/support/standin_service.py" start --info "$info" >/dev/null
trap 'python3 "$root/tests/support/standin_service.py" stop --info "$info" >/dev/null; wine_env_stop' EXIT
run() {
  ZORVANE_TEST_SOURCE="$root" ZORVANE_TEST_BINARY="$build/windows" ZORVANE_STANDIN_INFO="$info" \
    ZORVANE_PROGRAM_DIR="$installed/bin" \
    wine "$build/windows/bench/$1.exe"
}
if [ "$which" != cycle ]; then run worker_bench; fi
if [ "$which" != workers ]; then run cycle_bench; fi
