#!/bin/bash
# Runs that set up Wine by hand (tools/wineenv.sh) started at the same moment without a display
# each get a virtual display of their own, and one run's stop leaves the others' displays up.
# Wine itself is replaced by programs that do nothing: only the display is looked at.
#
#   displays.sh <source folder>
set -u
ROOT="$1"
RUNS=8
tmp="$(mktemp -d)"
cleanup() {
  touch "$tmp"/stop-{0..9}
  wait
  rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/bin"
for tool in wine wineboot wineserver; do
  printf '#!/bin/sh\nexit 0\n' >"$tmp/bin/$tool"
  chmod +x "$tmp/bin/$tool"
done

fail() {
  echo "displays: $*" >&2
  exit 1
}
# Waits up to 20 seconds for a file.
await() {
  for _ in $(seq 1 400); do
    [ -e "$1" ] && return 0
    sleep 0.05
  done
  return 1
}

for ((run = 0; run < RUNS; run++)); do
  (
    export PATH="$tmp/bin:$PATH"
    unset DISPLAY
    await "$tmp/go"
    # shellcheck source=tools/wineenv.sh
    source "$ROOT/tools/wineenv.sh" "$tmp/prefix-$run" || exit 1
    echo "${DISPLAY#:} $QV_STARTED_XVFB" >"$tmp/display-$run.part"
    mv "$tmp/display-$run.part" "$tmp/display-$run"
    await "$tmp/stop-$run"
    qv_wine_stop
    touch "$tmp/stopped-$run"
  ) &
done
touch "$tmp/go"

declare -A seen
displays=() pids=()
for ((run = 0; run < RUNS; run++)); do
  await "$tmp/display-$run" || fail "run $run got no display"
  read -r display pid <"$tmp/display-$run"
  [ -z "${seen[$display]:-}" ] || fail "runs ${seen[$display]} and $run both took display :$display"
  seen[$display]=$run
  displays+=("$display")
  pids+=("$pid")
done

# Each run stops in turn; every display of a run still going keeps its server and its socket.
for ((run = 0; run < RUNS; run++)); do
  touch "$tmp/stop-$run"
  await "$tmp/stopped-$run" || fail "run $run did not stop"
  kill -0 "${pids[$run]}" 2>/dev/null && fail "run $run left its display :${displays[$run]} running"
  for ((other = run + 1; other < RUNS; other++)); do
    kill -0 "${pids[$other]}" 2>/dev/null || fail "run $run's stop ended display :${displays[$other]} of run $other"
    [ -e "/tmp/.X11-unix/X${displays[$other]}" ] || fail "display :${displays[$other]} of run $other lost its socket"
  done
done
echo "$RUNS runs took displays ${displays[*]}"
