#!/usr/bin/env bash
# Runs a Windows program of the build under Wine for CTest. A test that CTest gave a desktop
# (resource "desktops", id "<slot>_<display>", see tools/winedesktops.sh) runs on that desktop's
# display and prefix. Anything else runs in the environment's own (tools/wineenv.sh), one program at
# a time, so that tests run by hand with ctest -j take turns on its one desktop.
if [ -n "${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}" ]; then
  qv_id="${CTEST_RESOURCE_GROUP_0_DESKTOPS#id:}"
  qv_id="${qv_id%%,*}"
  if [ -z "${QV_DESKTOPS:-}" ]; then
    echo "winetest: QV_DESKTOPS names no folder of desktops" >&2
    exit 1
  fi
  export WINEPREFIX="$QV_DESKTOPS/${qv_id%%_*}" DISPLAY=":${qv_id#*_}"
  exec wine "$@"
fi
qv_prefix="${WINEPREFIX:-$HOME/.wine}"
mkdir -p "$qv_prefix"
# The lock is held by flock itself, not handed to Wine's processes (-o): a desktop process started
# by the test outlives it.
exec flock -o "$qv_prefix/.qv-test.lock" wine "$@"
