# Sourced by the scripts that run Windows programs: a throw-away Wine prefix, a persistent wineserver and
# an Xvfb display for the window tests. Call wine_env_start, and wine_env_stop when done (it is trapped).
wine_env_start() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winedbg.exe=d"
  export WINEPREFIX=$(mktemp -d /tmp/zorvane-wine.XXXXXX)
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
  wineboot -i >/dev/null 2>&1 || true
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

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${ZORVANE_XVFB_PID:-}" ]; then
    kill "$ZORVANE_XVFB_PID" 2>/dev/null || true
  fi
}
