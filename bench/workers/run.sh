#!/usr/bin/env bash
# Builds the Windows build and runs the update-cycle benchmark under Wine against the stand-in service, on the
# programs as cmake --install lays them out (stripped): cycles of 10, 1,000 and 10,000 hosts, each in turn with
# the yardstick.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
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
run cycle_bench
