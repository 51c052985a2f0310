#!/usr/bin/env bash
# Runs a Windows program of the build under Wine for CTest. A test that CTest gave a desktop
# (resource "desktops", id "<slot>_<display>", see tools/winedesktops.sh) runs on that desktop's
# display and prefix; anything else runs in the environment's own (tools/wineenv.sh).
if [ -n "${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}" ]; then
  qv_id="${CTEST_RESOURCE_GROUP_0_DESKTOPS#id:}"
  qv_id="${qv_id%%,*}"
  if [ -z "${QV_DESKTOPS:-}" ]; then
    echo "winetest: QV_DESKTOPS names no folder of desktops" >&2
    exit 1
  fi
  export WINEPREFIX="$QV_DESKTOPS/${qv_id%%_*}" DISPLAY=":${qv_id#*_}"
fi
exec wine "$@"
