#!/usr/bin/env bash
# Builds the Windows build and runs the worker benchmark under Wine against the stand-in service.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
bash "$root/scripts/build.sh" windows >/dev/null
. "$root/scripts/wine-env.sh"
wine_env_start
info="$build/windows/standin/service.txt"
python3 "$root/tests/support/standin_service.py" start --info "$info" >/dev/null
trap 'python3 "$root/tests/support/standin_service.py" stop --info "$info" >/dev/null; wine_env_stop' EXIT
ZORVANE_TEST_SOURCE="$root" ZORVANE_TEST_BINARY="$build/windows" wine "$build/windows/bench/worker_bench.exe"
