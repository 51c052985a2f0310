#!/usr/bin/env bash
# Runs a Windows program of the build under Wine for CTest. A test that CTest gave a desktop
# (resource "desktops", id "<slot>_<display>", see tools/winedesktops.sh) runs on that desktop's
# display and prefix. Anything else runs in the environment's own (tools/wineenv.sh), one program at
# a time, so that tests run by hand with ctest -j take turns on its one desktop.
#
# A 64-bit program is started by Wine's 64-bit loader: the 32-bit one (wine) would hand it to a helper
# process that starts it in turn, which takes longer and adds a way to fail.
#
# The loader runs without address-space randomisation (setarch -R): Wine reserves the ranges Windows
# programs expect before anything else is mapped, and a randomised layout now and then has a library
# of the loader's own in the way, so the program ends at once with status 1, having printed nothing.
qv_loader=wine
if [ -f "${1:-}" ]; then
  qv_pe="$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')"
  if [ -n "$qv_pe" ] && [ "$(od -An -tx2 -j$((qv_pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')" = 8664 ]; then
    qv_loader="$(command -v wine64 || echo /usr/lib/wine/wine64)"
    [ -x "$qv_loader" ] || qv_loader=wine
  fi
fi
qv_run=("$qv_loader")
if command -v setarch >/dev/null && setarch "$(uname -m)" -R true 2>/dev/null; then
  qv_run=(setarch "$(uname -m)" -R "$qv_loader")
fi

# Runs the program; one that ends in failure says so, with its status, even when it printed nothing.
qv_start() {
  "${qv_run[@]}" "$@"
  local status=$?
  [ "$status" = 0 ] || echo "winetest: $1 ended with status $status${qv_id:+ on desktop $qv_id}" >&2
  return "$status"
}

if [ -n "${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}" ]; then
  qv_id="${CTEST_RESOURCE_GROUP_0_DESKTOPS#id:}"
  qv_id="${qv_id%%,*}"
  if [ -z "${QV_DESKTOPS:-}" ]; then
    echo "winetest: QV_DESKTOPS names no folder of desktops" >&2
    exit 1
  fi
  export WINEPREFIX="$QV_DESKTOPS/${qv_id%%_*}" DISPLAY=":${qv_id#*_}"
  qv_start "$@"
  exit
fi
qv_prefix="${WINEPREFIX:-$HOME/.wine}"
mkdir -p "$qv_prefix"
# The lock is held by flock itself, not handed to Wine's processes (-o): a desktop process started
# by the test outlives it.
exec flock -o "$qv_prefix/.qv-test.lock" "${qv_run[@]}" "$@"
