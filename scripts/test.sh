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

# Fuzz targets run beside the Wine tests; each is bounded in time.
fuzz_pids=()
for fuzzer in "$build"/fuzz/fuzz/*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$root/tests/fuzz/corpus/${name%_fuzz}"
  work=$(mktemp -d /tmp/zorvane-corpus.XXXXXX)
  ( "$fuzzer" -max_total_time="$fuzz_seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$logs/$name-" "$work" "$corpus" >"$logs/$name.log" 2>&1
    rc=$?; rm -rf "$work"; exit $rc ) &
  fuzz_pids+=("$!:$name")
done

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

for entry in "${fuzz_pids[@]}"; do
  pid=${entry%%:*}; name=${entry#*:}
  if wait "$pid"; then
    echo "== fuzz $name: clean for ${fuzz_seconds}s ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$logs/$name.log" | grep -o '[0-9]*$') runs)"
  else
    echo "== fuzz $name: FAILED"; tail -n 60 "$logs/$name.log"; status=1
  fi
done

rm -rf "$logs"
if [ $status -eq 0 ]; then echo "all tests passed"; else echo "some tests FAILED"; fi
exit $status
