# Sourced by the run and test scripts: a private Wine prefix inside the build tree and,
# when no display is given, a virtual X display of our own.

# zelmora_wine_env BUILD_DIR [PREFIX]: exports the Wine settings and creates the prefix on
# first use. PREFIX is the prefix's folder in the build tree: "wineprefix" (the default) is
# the one the program runs in; the tests keep theirs apart in "test-wineprefix", so that
# neither sees the other's files, dialogs' folders or window settings.
zelmora_wine_env() {
  local build_dir prefix_name=${2:-wineprefix}
  build_dir=$(cd "$1" && pwd)
  export WINEPREFIX="$build_dir/$prefix_name"
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No Mono or Gecko installer prompts.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  unset WINESERVER

  # A prefix made and set up already is only read: it may lie on a read-only file system
  # (a container's image), where not even the lock below could be made.
  if [[ -f "$WINEPREFIX/.zelmora-ready" && -f "$WINEPREFIX/.zelmora-d3d" ]]; then
    return 0
  fi
  # Two runs sharing a build tree must not both create the prefix.
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/.zelmora-ready" ]]; then
      echo "wine: making the project's own Wine prefix in $WINEPREFIX (first run only, about 20 s)" >&2
      rm -rf "$WINEPREFIX"
      wineboot --init >/dev/null 2>&1
      # The caption buttons' glyphs come from Marlett; Debian's Wine does not find its copy.
      if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
      fi
      wineserver --wait
      touch "$WINEPREFIX/.zelmora-ready"
    fi
    # Direct3D without its command-stream thread: that thread spins while it waits for
    # work, which costs the 10 ms preview more than a core on its own.
    if [[ ! -f "$WINEPREFIX/.zelmora-d3d" ]]; then
      wine reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f >/dev/null 2>&1
      wineserver --wait
      touch "$WINEPREFIX/.zelmora-d3d"
    fi
  ) 9>"$build_dir/.$prefix_name.lock"
}

# zelmora_window_manager yes|no: whether an X window manager frames, places and focuses
# the windows (a user's desktop) or Wine draws and manages them itself, as Windows does (a
# virtual display, where none runs). Set for every start, so that it never depends on who
# started the prefix last; written only when it changes.
zelmora_window_manager() {
  local value=N
  [[ $1 == yes ]] && value=Y
  if [[ "$(cat "$WINEPREFIX/.zelmora-windows" 2>/dev/null)" != "$value" ]]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$value" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d "$value" /f >/dev/null 2>&1
    wineserver --wait
    echo "$value" >"$WINEPREFIX/.zelmora-windows"
  fi
}

# zelmora_ensure_display: starts Xvfb on a free display number when DISPLAY is empty.
# Sets ZELMORA_XVFB_PID when it started one; zelmora_stop_display ends it.
zelmora_ensure_display() {
  ZELMORA_XVFB_PID=""
  if [[ -n "${DISPLAY:-}" ]]; then
    return 0
  fi
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  ZELMORA_XVFB_PID=$!
  local number
  read -r number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$number"
}

# zelmora_prefix_programs: the process ids of programs running in this prefix other than
# Wine's own (its desktop, services and devices live in C:\windows), whoever started them.
zelmora_prefix_programs() {
  local dir exe cmd
  for dir in /proc/[0-9]*; do
    exe=$(readlink "$dir/exe" 2>/dev/null) || continue
    [[ ${exe##*/} == wine || ${exe##*/} == wine64 || ${exe##*/} == wine*-preloader ]] || continue
    { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    cmd=$({ tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null) || continue
    [[ ${cmd,,} == c:\\windows\\* ]] && continue
    echo "${dir#/proc/}"
  done
}

# zelmora_start_session: starts Wine's own processes for the prefix (its server, services and
# desktop) unless they run, with their output going nowhere. They start with a session's
# first program and outlive it by a few seconds: started by the program, they would hold
# its standard error open that long, and a caller reading it (a pipe, $(...)) would wait.
zelmora_start_session() {
  local dir
  for dir in /proc/[0-9]*; do
    [[ "$({ tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null)" == *'\services.exe'* ]] || continue
    { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  wine wineboot </dev/null >/dev/null 2>&1 || true
}

# zelmora_stop_display: ends the display zelmora_ensure_display started, and never a
# program this script did not start. Wine's desktop process is tied to the display of the
# session's first program: when no other program runs in the prefix, the session (only Wine's
# own processes by now) ends with the display; when one does (a Zelmora window on the
# desktop sharing the prefix, another render), the display is left to end once that session
# ends by itself.
zelmora_stop_display() {
  if [[ -n "${ZELMORA_XVFB_PID:-}" ]]; then
    if [[ -z "$(zelmora_prefix_programs)" ]]; then
      wineserver -k 2>/dev/null || true
      wineserver -w 2>/dev/null || true  # gone before the next program starts one
      kill "$ZELMORA_XVFB_PID" 2>/dev/null || true
      wait "$ZELMORA_XVFB_PID" 2>/dev/null || true
    else
      local xvfb=$ZELMORA_XVFB_PID
      setsid bash -c 'wineserver -w 2>/dev/null; kill "$1" 2>/dev/null' _ "$xvfb" </dev/null >/dev/null 2>&1 &
      disown 2>/dev/null || true
    fi
    ZELMORA_XVFB_PID=""
  fi
}
