#!/usr/bin/env bash
# Runs CTest in a Windows build folder under a throw-away Wine prefix and Xvfb display.
# Usage: scripts/wine-ctest.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
. "$root/scripts/wine-env.sh"
wine_env_start
wine_env_hold_desktop "$dir" || exit 1
cd "$dir" || exit 1
ctest "$@"
rc=$?
wine_env_report_skips .
exit $rc
