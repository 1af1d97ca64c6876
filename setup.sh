#!/usr/bin/env bash
# Installs everything the project needs on a fresh Debian machine, configures and builds.
#   ./setup.sh run    install, build, then play the show in data/
#   ./setup.sh test   install, build, run every test suite, then the same suites
#                     again in an address + undefined-behaviour sanitizer build
#   ./setup.sh build  install and build only
#   ./setup.sh fuzz [SECONDS]
#                     install clang and libFuzzer, build the harnesses of fuzz/ into
#                     build-fuzz/ and run each for SECONDS (default 60)
# Safe to run again: apt-get skips what is there, the builds are incremental (ccache).
set -euo pipefail
cd "$(dirname "$0")"
mode=${1:-build}

packages=(
  g++ cmake ninja-build ccache pkg-config
  libsdl2-dev libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri libx11-dev
  libopenmpt-dev libsndfile1-dev libpng-dev zlib1g-dev libimgui-dev
  libfreetype-dev fonts-dejavu-core libglu1-mesa-dev
  libavformat-dev libavcodec-dev libswscale-dev ffmpeg
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

# The fuzz harnesses: clang with libFuzzer and the sanitizers, in build-fuzz/. Each runs
# on a copy of its seed corpus (and saved findings) in build-fuzz/corpus/<target>, so the
# committed corpus only grows by hand; what it finds lands in build-fuzz/findings/<target>.
# A finding ends a harness's run; the run goes on with the time left until the same
# input fails twice.
fuzz() {
  local seconds=${1:-60}
  packages+=(clang libclang-rt-14-dev)
  install_packages
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache \
    -DMIRVA_FUZZ=ON -DMIRVA_TESTS=OFF -DMIRVA_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs" --target mirva_fuzzers
  local root=$PWD/build-fuzz target
  for target in script object scene image motion font flic; do
    local corpus=$root/corpus/$target findings=$root/findings/$target
    mkdir -p "$corpus" "$findings"
    for seeds in fuzz/corpus/$target fuzz/regressions/$target; do
      [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
    done
    local dict=()
    case $target in
      image|font) dict=(-dict=fuzz/dict/image.dict) ;;
      *) dict=(-dict=fuzz/dict/$target.dict) ;;
    esac
    local runs=0 crashes=0 peak=0 end=$((SECONDS + seconds)) round=0 seen=" " status log unit
    while [ $((end - SECONDS)) -gt 0 ]; do
      round=$((round + 1))
      log=$findings/run$round.log
      status=0
      "$root/fuzz/mirva_fuzz_$target" "${dict[@]}" -max_total_time=$((end - SECONDS)) \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -close_fd_mask=1 \
        -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || status=$?
      runs=$((runs + $(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1 | grep . || echo 0)))
      local rss
      rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1 | grep . || echo 0)
      [ "$rss" -gt "$peak" ] && peak=$rss
      [ "$status" -eq 0 ] && break
      crashes=$((crashes + 1))
      unit=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
      echo "fuzz: $target: finding ${unit:-(no input saved)}, log $log"
      case $seen in *" $unit "*) break ;; esac
      seen="$seen$unit "
    done
    printf 'fuzz: %-7s runs %-9d crashes %-3d peak RSS %d MB\n' "$target" "$runs" "$crashes" "$peak"
  done
}

if [ "$mode" = fuzz ]; then
  fuzz "${@:2}"
  exit 0
fi

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
    echo "usage: ./setup.sh [build|run|test|fuzz [SECONDS]]" >&2; exit 2 ;;
esac
