#!/usr/bin/env bash
# Builds the benchmark build (native, optimised, without sanitizers) and runs the XML benchmark.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
bash "$root/scripts/build.sh" bench >/dev/null
"$build/bench/bench/xml_bench"
