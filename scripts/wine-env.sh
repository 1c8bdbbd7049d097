# Sourced by the scripts that run Windows programs: a throw-away Wine prefix, a persistent wineserver and
# an Xvfb display for the window tests. Call wine_env_start, and wine_env_stop when done (it is trapped).
#
# A booted prefix is kept beside it as ZORVANE_WINE_SEED; a later wine_env_start that finds one (a namespace
# run of scripts/wine-netns.sh) copies it instead of booting a prefix of its own, which takes 10 to 20 seconds.
wine_env_start() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winedbg.exe=d"
  export WINEPREFIX=$(mktemp -d /tmp/zorvane-wine.XXXXXX)
  ZORVANE_OWN_SEED=""
  ZORVANE_XVFB_PID=""
  if [ -z "${ZORVANE_KEEP_DISPLAY:-}" ]; then
    local n
    for n in $(seq 90 130); do
      if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        ZORVANE_XVFB_PID=$!
        export DISPLAY=":$n"
        break
      fi
    done
    # Wine's first window program must find the display listening.
    local waited
    for waited in $(seq 100); do
      [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ] && break
      sleep 0.1
    done
  fi
  if [ -z "${ZORVANE_WINE_SEED:-}" ] || ! wine_env_copy_prefix "$ZORVANE_WINE_SEED" "$WINEPREFIX"; then
    rm -rf "$WINEPREFIX" && mkdir "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # The server writes the registry to disk when it ends; only then is the booted prefix whole.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    ZORVANE_OWN_SEED="$WINEPREFIX-seed"
    if mkdir "$ZORVANE_OWN_SEED" && wine_env_copy_prefix "$WINEPREFIX" "$ZORVANE_OWN_SEED"; then
      export ZORVANE_WINE_SEED="$ZORVANE_OWN_SEED"
    fi
  fi
  wineserver -p >/dev/null 2>&1 &
  # Xvfb has no window manager: unmanaged windows close without Wine's two-second wait for one.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  trap wine_env_stop EXIT
}

# Starts the desktop once and holds it while the tests run (BUILD_DIR/tests/zv_desktop_holder.exe), so
# that test processes starting together under load do not each start it. Waits up to a minute for it.
wine_env_hold_desktop() {
  local holder="$1/tests/zv_desktop_holder.exe" ready="$WINEPREFIX/desktop-ready" waited
  [ -f "$holder" ] || return 0
  "$(command -v wine64 || command -v wine)" "$holder" "Z:${ready//\//\\}" >/dev/null 2>&1 &
  for waited in $(seq 600); do
    [ -e "$ready" ] && return 0
    sleep 0.1
  done
  echo "wine-env: the desktop did not start" >&2
  return 1
}

# Fills the empty folder PREFIX with a copy of the booted prefix SEED. Its files are hard links, so that the
# copy takes a moment; the registry files are copied whole, since they are the only ones Wine writes.
wine_env_copy_prefix() {  # SEED PREFIX
  [ -f "$1/system.reg" ] || return 1
  if ! cp -al "$1/." "$2/" 2>/dev/null; then
    # Another file system: a plain copy, into an emptied folder (never through the links made so far).
    find "$2" -mindepth 1 -delete && cp -a "$1/." "$2/" || return 1
  fi
  local reg
  for reg in "$1"/*.reg; do
    rm -f "$2/${reg##*/}" && cp "$reg" "$2/" || return 1
  done
}

# Prints the reason of each test in the last CTest run of BUILD_DIR that skipped itself (scripts/wine-netns.sh
# on a machine that cannot make a network namespace).
wine_env_report_skips() {
  local log="$1/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || return 0
  awk '/^[0-9]+\/[0-9]+ Testing: / { name = $3 }
       sub(/^wine-netns: skipped: /, "") { print "skipped " name ": " $0 }' "$log"
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${ZORVANE_OWN_SEED:-}" ]; then
    rm -rf "$ZORVANE_OWN_SEED"
  fi
  if [ -n "${ZORVANE_XVFB_PID:-}" ]; then
    kill "$ZORVANE_XVFB_PID" 2>/dev/null || true
  fi
}
