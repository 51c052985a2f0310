# Source this file to run the Windows programs of the build under Wine:
#   source tools/wineenv.sh [prefix-folder]
# It sets WINEPREFIX (default: build/wineprefix), creates the prefix when missing (window frames
# drawn by the programs themselves: "Decorated"=N), starts Xvfb on a free display when there is no
# DISPLAY, and starts a persistent wineserver with its output sent away, so that programs that wait
# on a pipe (CTest) are not held by it. qv_wine_stop stops what this file started. (./run.sh test runs
# the tests on several desktops side by side: tools/winedesktops.sh.)

QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${1:-${WINEPREFIX:-$QV_ROOT/build/wineprefix}}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
QV_STARTED_XVFB=""

# The virtual display is taken the way the test run's desktops take theirs: Xvfb chooses a free
# display itself, so two runs started together never take the same one (and one's stop never ends
# the other's).
# shellcheck source=tools/winedesktops.sh
source "$QV_ROOT/tools/winedesktops.sh"
if [ -z "${DISPLAY:-}" ]; then
  qv_fdfile="$(mktemp)"
  if ! qv_xvfb_start "$qv_fdfile"; then
    rm -f "$qv_fdfile"
    return 1
  fi
  rm -f "$qv_fdfile"
  QV_STARTED_XVFB="$QV_XVFB_PID"
  export DISPLAY=":${QV_XVFB_DISPLAY}"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null || true
fi
# One persistent server for everything that follows. A server already running on this prefix (a
# previous run, or the one that creating the prefix started) would refuse to make way for it, and
# without it every program would start the whole Wine session (desktop, services) again.
wineserver -k >/dev/null 2>&1 </dev/null || true
wineserver -w >/dev/null 2>&1 </dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null || true
# On our own virtual display there is no window manager: let Wine place top-level windows itself
# (unmanaged), or it waits for a manager on every map and unmap. On a real desktop the user's
# window manager takes them as usual.
if [ -n "$QV_STARTED_XVFB" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
else
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 </dev/null || true
fi
# The background services, started before any test runs.
wine wineboot >/dev/null 2>&1 </dev/null || true
# The desktop is held open while programs come and go (Wine would close it after each, and a program
# started while it closes cannot make its first window).
if [ -f "$QV_ROOT/build/i686/keepdesktop.exe" ]; then
  wine "$QV_ROOT/build/i686/keepdesktop.exe" >/dev/null 2>&1 </dev/null &
fi

qv_wine_stop() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  if [ -n "$QV_STARTED_XVFB" ]; then
    kill "$QV_STARTED_XVFB" >/dev/null 2>&1 || true
    wait "$QV_STARTED_XVFB" 2>/dev/null || true
    QV_STARTED_XVFB=""
  fi
}
