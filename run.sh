#!/usr/bin/env bash
# Builds and runs the library on a Debian machine, installing what is missing.
#
#   ./run.sh test      build everything, run every test (native and under Wine, i686 and x86_64)
#   ./run.sh gallery [--skin NAME]
#                      build and start the gallery; without a display, save build/gallery.png
set -euo pipefail

ROOT="$(cd "$(dirname "$0")" && pwd)"
BUILD="$ROOT/build"
JOBS="$(nproc 2>/dev/null || echo 2)"
PACKAGES=(mingw-w64 wine wine64 wine32:i386 xvfb googletest cmake make g++ clang libclang-rt-14-dev
          libbenchmark-dev zlib1g-dev libz-mingw-w64-dev fonts-wine fonts-liberation)

log() { printf '== %s\n' "$*"; }

install_missing() {
  local missing=()
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

configure_and_build() {
  local name="$1"; shift
  local targets=("$@")
  local dir="$BUILD/$name"
  local args=(-S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release)
  case "$name" in
    native) args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) args+=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$name.cmake") ;;
  esac
  log "configuring $name"
  cmake "${args[@]}" >/dev/null
  log "building $name"
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j "$JOBS" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$JOBS"
  fi
}

start_wine() {
  # shellcheck source=tools/wineenv.sh
  source "$ROOT/tools/wineenv.sh" "$BUILD/wineprefix"
  trap 'qv_wine_stop' EXIT
}

cmd_test() {
  install_missing
  configure_and_build native
  configure_and_build i686
  configure_and_build x86_64
  # One CTest run over the three builds, so one summary closes the output.
  cat > "$BUILD/CTestTestfile.cmake" <<'CTEST'
subdirs("native" "i686" "x86_64")
CTEST
  log "starting Wine"
  start_wine
  log "running tests"
  cd "$BUILD"
  # Each test is a program of its own. Under Wine the desktop process that serves the previous one can
  # still be going away when the next starts, and then its first window cannot be made; such a test is
  # run again (at most three runs in all): a real fault fails every run.
  ctest --output-on-failure -j "$JOBS" --repeat until-pass:3 </dev/null
}

cmd_gallery() {
  install_missing
  configure_and_build i686 gallery
  local had_display="${DISPLAY:-}"
  start_wine
  local exe="$BUILD/i686/gallery/gallery.exe"
  local skins
  skins="$(winepath -w "$ROOT/skins" 2>/dev/null)"
  if [ -n "$had_display" ]; then
    wine "$exe" --skins "$skins" "$@" </dev/null
  else
    local png="$BUILD/gallery.png"
    rm -f "$png"
    wine "$exe" --skins "$skins" "$@" --screenshot "$(winepath -w "$png" 2>/dev/null)" </dev/null
    [ -s "$png" ] || { echo "no screenshot was written" >&2; exit 1; }
    log "screenshot saved to $png"
  fi
}

case "${1:-}" in
  test) cmd_test ;;
  gallery) shift; cmd_gallery "$@" ;;
  *) echo "usage: $0 test|gallery" >&2; exit 2 ;;
esac
