# Sourced by the Windows benchmarks' run.sh: builds the Windows build, lays the programs out as cmake --install
# does (stripped) in build/windows/bench-root, starts the Wine environment and its desktop, and defines
# run_bench NAME, which runs build/windows/bench/NAME.exe on those programs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZORVANE_BUILD:-$root/build}
bash "$root/scripts/build.sh" windows >/dev/null
installed="$build/windows/bench-root"
rm -rf "$installed"
cmake --install "$build/windows" --prefix "$installed" >/dev/null
. "$root/scripts/wine-env.sh"
wine_env_start
wine_env_hold_desktop "$build/windows"
run_bench() {
  ZORVANE_TEST_SOURCE="$root" ZORVANE_TEST_BINARY="$build/windows" ZORVANE_PROGRAM_DIR="$installed/bin" \
    ZORVANE_STANDIN_INFO="${ZORVANE_STANDIN_INFO:-}" wine "$build/windows/bench/$1.exe"
}
