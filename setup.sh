#!/usr/bin/env bash
# Installs everything the project needs on a fresh Debian machine, configures and builds.
#   ./setup.sh run    install, build, then play the show in data/
#   ./setup.sh test   install, build, run every test suite, then the same suites
#                     again in an address + undefined-behaviour sanitizer build
#   ./setup.sh build  install and build only
# Safe to run again: apt-get skips what is there, the builds are incremental (ccache).
set -euo pipefail
cd "$(dirname "$0")"
mode=${1:-build}

packages=(
  g++ cmake ninja-build ccache pkg-config
  libsdl2-dev libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri libx11-dev
  libopenmpt-dev libsndfile1-dev libpng-dev zlib1g-dev libimgui-dev
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool assimp-testmodels libassimp-dev
)

install_packages() {
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

jobs=$(nproc)

configure_and_build() {   # dir, build type, extra cmake arguments...
  local dir=$1 type=$2; shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

install_packages
configure_and_build build Release

case "$mode" in
  build) ;;
  run)
    cd data && exec ../build/app/mirva "${@:2}"
    ;;
  test)
    ctest --test-dir build --output-on-failure -j "$jobs"
    configure_and_build build-san Debug -DMIRVA_SANITIZE=ON -DMIRVA_BENCH=OFF
    # The leak checker's tracking of dynamic thread-local storage misreads the blocks of
    # LLVM, which Mesa's llvmpipe loads, and can crash at exit; without it every suite
    # still checks clean.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --test-dir build-san --output-on-failure -j "$jobs"
    ;;
  *)
    echo "usage: ./setup.sh [build|run|test]" >&2; exit 2 ;;
esac
