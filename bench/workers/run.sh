#!/usr/bin/env bash
# Runs the update-cycle benchmark under Wine against the stand-in service, on the installed programs: cycles of
# 10, 1,000 and 10,000 hosts, each in turn with the yardstick.
. "$(dirname "$0")/../wine-bench.sh"
# A stand-in service of its own, so that a test run in the same build folder keeps its own.
export ZORVANE_STANDIN_INFO="$build/windows/bench-service.txt"
python3 "$root/tests/support/standin_service.py" start --info "$ZORVANE_STANDIN_INFO" >/dev/null
trap 'python3 "$root/tests/support/standin_service.py" stop --info "$ZORVANE_STANDIN_INFO" >/dev/null; wine_env_stop' EXIT
run_bench cycle_bench
