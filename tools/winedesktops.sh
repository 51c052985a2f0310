# Wine desktops for running the Windows tests side by side (sourced by run.sh).
#
# Each desktop is a virtual display of its own (Xvfb) with a Wine prefix of its own, and so a Wine
# server of its own: tests on different desktops share no screen, mouse, focus, clipboard or files.
# The prefixes are hard-linked copies of one template prefix, made once, since making a prefix takes
# a while; each run starts from a fresh copy. A program on each desktop (keepdesktop.exe) holds the
# desktop open for the whole run.
#
#   qv_template_make DIR              make the template prefix DIR/template when missing or stale
#   qv_desktops_start COUNT DIR KEEPER
#                                     start COUNT desktops below DIR and write DIR/resources.json,
#                                     CTest's resource file: one "desktops" resource per desktop
#   qv_desktops_stop                  stop what qv_desktops_start started
#
# A resource id reads "<slot>_<display>": tools/winetest.sh, through which CTest starts each Windows
# test, turns the id it was given into WINEPREFIX=DIR/<slot> and DISPLAY=:<display> (DIR is passed in
# QV_DESKTOPS).

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Kept when the file is sourced again (tools/wineenv.sh sources it too).
declare -p QV_DESKTOP_XVFB_PIDS >/dev/null 2>&1 || QV_DESKTOP_XVFB_PIDS=()
declare -p QV_DESKTOP_PREFIXES >/dev/null 2>&1 || QV_DESKTOP_PREFIXES=()

# Makes DIR/template: window frames drawn by the programs themselves ("Decorated"=N) and top-level
# windows placed by Wine (no window manager runs on the virtual displays: "Managed"=N).
qv_template_make() {
  local dir="$1"
  local tpl="$dir/template"
  local version
  version="$(wine --version 2>/dev/null)"
  if [ -f "$tpl/system.reg" ] && [ "$(cat "$tpl/.qv-wine-version" 2>/dev/null)" = "$version" ]; then
    return 0
  fi
  rm -rf "$tpl"
  mkdir -p "$tpl"
  (
    export WINEPREFIX="$tpl"
    unset DISPLAY
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    wineserver -w || true
  )
  if [ ! -f "$tpl/system.reg" ] || ! grep -q '"Managed"="N"' "$tpl/user.reg"; then
    echo "winedesktops: the template prefix could not be made" >&2
    return 1
  fi
  echo "$version" >"$tpl/.qv-wine-version"
}

# Starts Xvfb on a display it chooses itself (no race with other servers starting at the same time:
# it takes the first display whose lock it can create) and sets QV_XVFB_DISPLAY to its number and
# QV_XVFB_PID to its process. FDFILE receives the number Xvfb writes. tools/wineenv.sh uses it too.
qv_xvfb_start() {
  local fdfile="$1"
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 </dev/null &
  QV_XVFB_PID=$!
  local n
  for _ in $(seq 1 100); do
    n="$(tr -dc '0-9' <"$fdfile")"
    if [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ]; then
      QV_XVFB_DISPLAY="$n"
      return 0
    fi
    sleep 0.1
  done
  echo "winedesktops: Xvfb did not start" >&2
  kill "$QV_XVFB_PID" >/dev/null 2>&1 || true
  wait "$QV_XVFB_PID" 2>/dev/null || true
  return 1
}

# Makes the prefix of one slot afresh from the template, starts its server, its services and the
# program that holds its desktop open, and waits until the desktop is up.
qv_desktop_up() {
  local tpl="$1" prefix="$2" display="$3" keeper="$4"
  # A server left by a run that was cut short is stopped first.
  if [ -d "$prefix" ]; then WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 </dev/null || true; fi
  rm -rf "$prefix"
  cp -al "$tpl" "$prefix"
  # Files Wine rewrites in place are copies, not links to the template's.
  local f
  for f in "$tpl"/* "$tpl"/.[!.]*; do
    if [ -f "$f" ]; then cp --remove-destination -p "$f" "$prefix/"; fi
  done
  export WINEPREFIX="$prefix" DISPLAY=":$display"
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine wineboot >/dev/null 2>&1 </dev/null || true
  local ready="$prefix/drive_c/keepdesktop.ready"
  rm -f "$ready"
  wine "$keeper" "C:\\keepdesktop.ready" >/dev/null 2>&1 </dev/null &
  for _ in $(seq 1 600); do
    [ -e "$ready" ] && return 0
    sleep 0.1
  done
  echo "winedesktops: the desktop on :$display did not come up" >&2
  return 1
}

qv_desktops_start() {
  local count="$1" dir="$2" keeper="$3"
  local tpl="$dir/template"
  qv_template_make "$dir" || return 1
  local displays=() pids=() slot failed=0
  for ((slot = 0; slot < count; slot++)); do
    qv_xvfb_start "$dir/display-$slot" || return 1
    QV_DESKTOP_XVFB_PIDS+=("$QV_XVFB_PID")
    displays+=("$QV_XVFB_DISPLAY")
    QV_DESKTOP_PREFIXES+=("$dir/$slot")
  done
  for ((slot = 0; slot < count; slot++)); do
    (qv_desktop_up "$tpl" "$dir/$slot" "${displays[$slot]}" "$keeper") &
    pids+=($!)
  done
  for slot in "${!pids[@]}"; do
    wait "${pids[$slot]}" || failed=1
  done
  [ "$failed" = 0 ] || return 1
  {
    printf '{\n  "version": {"major": 1, "minor": 0},\n  "local": [{\n    "desktops": [\n'
    for ((slot = 0; slot < count; slot++)); do
      printf '      {"id": "%s_%s"}%s\n' "$slot" "${displays[$slot]}" "$([ $((slot + 1)) -lt "$count" ] && echo ,)"
    done
    printf '    ]\n  }]\n}\n'
  } >"$dir/resources.json"
  export QV_DESKTOPS="$dir"
  # Programs run outside a test (CTest listing the tests of a program) use the first desktop.
  export WINEPREFIX="$dir/0" DISPLAY=":${displays[0]}"
}

qv_desktops_stop() {
  local prefix pid
  for prefix in "${QV_DESKTOP_PREFIXES[@]}"; do
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 </dev/null || true
  done
  for pid in "${QV_DESKTOP_XVFB_PIDS[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
  done
  QV_DESKTOP_PREFIXES=()
  QV_DESKTOP_XVFB_PIDS=()
}
