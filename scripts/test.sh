#!/usr/bin/env bash
# Runs every test: sets up the machine, builds the three configurations, then runs the native tests under
# the sanitizers, the Windows tests under Wine (with Xvfb for windows), and the fuzz targets for a bounded time.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
jobs=${ZORVANE_JOBS:-$(nproc)}
fuzz_seconds=${ZORVANE_FUZZ_SECONDS:-60}

bash "$root/scripts/setup.sh" || exit 1
bash "$root/scripts/build.sh" || { echo "build failed"; exit 1; }

status=0
logs=$(mktemp -d /tmp/zorvane-test.XXXXXX)

# Fuzz targets run beside the Wine tests; each is bounded in time. Their report follows the tests'.
ZORVANE_BUILD="$build" ZORVANE_FUZZ_OUT="$logs" bash "$root/scripts/fuzz.sh" "$fuzz_seconds" >"$logs/fuzz.txt" 2>&1 &
fuzz_pid=$!

echo "== native tests (g++, AddressSanitizer, UndefinedBehaviorSanitizer)"
(cd "$build/native" && ctest -j "$jobs" --output-on-failure) || status=1

echo "== Windows tests (MinGW-w64, under Wine)"
(
  . "$root/scripts/wine-env.sh"
  wine_env_start
  wine_env_hold_desktop "$build/windows" || exit 1
  cd "$build/windows" || exit 1
  ctest -j "$jobs" --output-on-failure
  rc=$?
  wine_env_report_skips .
  exit $rc
) || status=1

wait "$fuzz_pid" || status=1
cat "$logs/fuzz.txt"

rm -rf "$logs"
if [ $status -eq 0 ]; then echo "all tests passed"; else echo "some tests FAILED"; fi
exit $status
