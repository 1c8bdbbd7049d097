#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for SECONDS (default 60), all at once, one process per target, each
# from its corpus under tests/fuzz/corpus/<name> (inputs found meanwhile go to a scratch folder and are
# dropped). Prints each target's inputs tried; fails when any target finds a crash, a hang or a leak, and
# then shows the end of its log, which names the input kept. Logs and found inputs go to ZORVANE_FUZZ_OUT
# (default build/fuzz/out). Build the targets first: scripts/build.sh fuzz.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
seconds=${1:-60}
out=${ZORVANE_FUZZ_OUT:-$build/fuzz/out}

case $seconds in
  ''|*[!0-9]*) echo "usage: $0 SECONDS" >&2; exit 2 ;;
esac
mkdir -p "$out" || exit 1

pids=()
for fuzzer in "$build"/fuzz/fuzz/*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$root/tests/fuzz/corpus/${name%_fuzz}"
  work=$(mktemp -d /tmp/zorvane-corpus.XXXXXX)
  ( "$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$out/$name-" "$work" "$corpus" >"$out/$name.log" 2>&1
    rc=$?; rm -rf "$work"; exit $rc ) &
  pids+=("$!:$name")
done
if [ ${#pids[@]} -eq 0 ]; then
  echo "no fuzz targets under $build/fuzz/fuzz: build them with scripts/build.sh fuzz" >&2
  exit 1
fi

status=0
for entry in "${pids[@]}"; do
  pid=${entry%%:*}; name=${entry#*:}
  if wait "$pid"; then
    echo "== fuzz $name: clean for ${seconds}s ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$out/$name.log" | grep -o '[0-9]*$') runs)"
  else
    echo "== fuzz $name: FAILED"; tail -n 60 "$out/$name.log"; status=1
  fi
done
exit $status
