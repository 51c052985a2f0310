#!/usr/bin/env bash
# Builds and runs the library on a Debian machine, installing what is missing.
#
#   ./run.sh test [CTEST-OPTIONS]
#                      build everything, run every test (native and under Wine, i686 and x86_64);
#                      options go to CTest (-R i686.windows runs the tests of one area)
#   ./run.sh gallery [--skin NAME]
#                      build and start the gallery; without a display, save build/gallery.png
set -euo pipefail

ROOT="$(cd "$(dirname "$0")" && pwd)"
BUILD="$ROOT/build"
# Jobs for the build and the tests, and desktops for the Windows tests: one per core unless QV_JOBS says.
JOBS="${QV_JOBS:-$(nproc 2>/dev/null || echo 2)}"
PACKAGES=(mingw-w64 wine wine64 wine32:i386 xvfb googletest cmake make g++ clang libclang-rt-14-dev
          libbenchmark-dev zlib1g-dev libz-mingw-w64-dev fonts-wine fonts-liberation ccache clang-format-14)

# Compilations cached by ccache (found by the build) are shared by every clone and worktree on this
# machine: paths below the source folder are hashed relative to it.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}"
# The tests' precompiled headers are cached too (ccache checks the header file by its contents).
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
# Results are found by the exact bytes of every header a compilation read (the compiler's -MD list),
# never by the preprocessed text: that drops comments, and a precompiled header made from other
# bytes of the same headers fails to stop their second inclusion (#pragma once matches a header by
# its contents), so every test source would then define each class twice.
export CCACHE_DEPEND="${CCACHE_DEPEND:-true}"

# Progress lines carry the time since the start (minutes:seconds).
log() { printf '== %d:%02d %s\n' $((SECONDS / 60)) $((SECONDS % 60)) "$*"; }

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

configure() {
  local name="$1"
  local args=(-S "$ROOT" -B "$BUILD/$name" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release)
  case "$name" in
    native) args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) args+=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$name.cmake") ;;
  esac
  cmake "${args[@]}" >/dev/null
}

configure_and_build() {
  local name="$1"; shift
  log "configuring $name"
  configure "$name"
  log "building $name"
  cmake --build "$BUILD/$name" -j "$JOBS" --target "$@"
}

# Configures the builds side by side, then builds them with one make whose jobs they share, so that
# no core waits while one build links or another still compiles.
build_all() {
  local name pids=()
  log "configuring $*"
  for name in "$@"; do
    configure "$name" &
    pids+=($!)
  done
  for name in "${pids[@]}"; do wait "$name"; done
  log "building $*"
  {
    printf 'all: %s\n' "$*"
    for name in "$@"; do printf '%s:\n\t+@$(MAKE) --no-print-directory -C %s\n' "$name" "$BUILD/$name"; done
    printf '.PHONY: all %s\n' "$*"
  } >"$BUILD/Makefile"
  make --no-print-directory -f "$BUILD/Makefile" -j "$JOBS"
}

start_wine() {
  # shellcheck source=tools/wineenv.sh
  source "$ROOT/tools/wineenv.sh" "$BUILD/wineprefix"
  trap 'qv_wine_stop' EXIT
}

cmd_test() {
  install_missing
  # shellcheck source=tools/winedesktops.sh
  source "$ROOT/tools/winedesktops.sh"
  mkdir -p "$BUILD/wine"
  # The template of the Wine prefixes is made (on the first run) while the build runs.
  qv_template_make "$BUILD/wine" &
  local template=$!
  build_all native i686 x86_64
  wait "$template"
  # One CTest run over the three builds, so one summary closes the output.
  cat > "$BUILD/CTestTestfile.cmake" <<'CTEST'
subdirs("native" "i686" "x86_64")
CTEST
  # Windows tests run side by side, each on a desktop of its own. They spend most of their time
  # waiting (for timers, for the queue to go quiet), so two desktops a core keep the cores busy.
  local desktops=$((JOBS * 2))
  log "starting $desktops Wine desktops"
  trap 'qv_desktops_stop' EXIT
  qv_desktops_start "$desktops" "$BUILD/wine" "$BUILD/i686/keepdesktop.exe"
  log "running tests"
  cd "$BUILD"
  # A test that fails once fails: nothing is run again.
  ctest --output-on-failure -j "$desktops" --resource-spec-file "$BUILD/wine/resources.json" "$@" </dev/null
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
  test) shift; cmd_test "$@" ;;
  gallery) shift; cmd_gallery "$@" ;;
  *) echo "usage: $0 test|gallery" >&2; exit 2 ;;
esac
