# Helpers for end-to-end tests: start zelmora.exe under Wine on the test display, find
# its window, drive it with xdotool and look at it with ImageMagick.
# Sourced by the tests; expects ZELMORA_EXE and ZELMORA_BUILD set.

here_e2e=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
source "$here_e2e/../../scripts/wine-env.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

e2e_setup() {
  zelmora_wine_env "$ZELMORA_BUILD" test-wineprefix
  zelmora_ensure_display
  zelmora_window_manager no
  E2E_OUT="$ZELMORA_BUILD/e2e/$(basename "$0" .sh)"
  rm -rf "$E2E_OUT"
  mkdir -p "$E2E_OUT"
  trap e2e_teardown EXIT
}

e2e_teardown() {
  if [[ -n "${APP_PID:-}" ]] && kill -0 "$APP_PID" 2>/dev/null; then
    kill "$APP_PID" 2>/dev/null || true
  fi
  zelmora_stop_display
}

# Starts the app and waits for its main window; sets APP_PID and APP_WIN.
start_app() {
  (cd "$E2E_OUT" && exec wine "$ZELMORA_EXE") >"$E2E_OUT/app.log" 2>&1 &
  APP_PID=$!
  APP_WIN=""
  for _ in $(seq 1 150); do
    APP_WIN=$(xdotool search --name '^Zelmora$' 2>/dev/null | head -n 1 || true)
    [[ -n "$APP_WIN" ]] && break
    kill -0 "$APP_PID" 2>/dev/null || fail "zelmora.exe ended before showing its window"
    sleep 0.2
  done
  [[ -n "$APP_WIN" ]] || fail "no window titled Zelmora within 30 s"
  # The first frame: the shaded box brings many colours into the window.
  local colours=0
  for _ in $(seq 1 120); do
    window_geometry "$APP_WIN"
    colours=$(/usr/bin/import -window root -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage \
              -format '%k' info: 2>/dev/null || echo 0)
    (( colours > 20 )) && return 0
    sleep 0.5
  done
  fail "no frame drawn within 60 s ($colours colours)"
}

app_running() { kill -0 "$APP_PID" 2>/dev/null; }

# Waits up to $1 seconds for the app to end; sets APP_RC.
wait_app_exit() {
  local limit=$(( $1 * 10 ))
  for _ in $(seq 1 "$limit"); do
    if ! app_running; then
      wait "$APP_PID"; APP_RC=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# window_geometry WIN -> sets WIN_X WIN_Y WIN_W WIN_H
window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1" | sed 's/^/WIN_/')"
  WIN_W=$WIN_WIDTH
  WIN_H=$WIN_HEIGHT
}

# screenshot FILE: the whole screen.
screenshot() { /usr/bin/import -window root "$1"; }

# focus_app: gives the app's window the keyboard focus.
focus_app() { xdotool windowfocus --sync "$APP_WIN" 2>/dev/null || xdotool windowfocus "$APP_WIN"; sleep 0.3; }

# ImageMagick itself, whatever else stands in front of it on the PATH.
convert() { /usr/bin/convert "$@"; }
