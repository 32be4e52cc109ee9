#!/usr/bin/env bash
# Sets Filonex up on a Debian 12 machine and either starts it or runs every test.
#   scripts/setup.sh run    install what is missing, build (Release) and start the program;
#                           the Python module goes into build-release/python/
#   scripts/setup.sh test   install what is missing, build and run all tests
# Safe to run again: it installs only missing packages and rebuilds incrementally.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case "$mode" in
  run|test) ;;
  *) echo "usage: scripts/setup.sh run|test" >&2; exit 2 ;;
esac

packages=(build-essential cmake ninja-build qt6-base-dev libqcustomplot-dev libqt6opengl6-dev
          libglu1-mesa-dev libgl1-mesa-dri xvfb xauth libgtest-dev libgmock-dev libbenchmark-dev
          locales nlohmann-json3-dev libcli11-dev qt6-svg-dev libtbb-dev librandom123-dev slurm-wlm munge
          libegl-dev libegl-mesa0 ffmpeg # pictures without a display, movies
          xdotool imagemagick # these two for scripts/screenshots.sh
          strace # a test traces the order of a result's flush and rename
          pybind11-dev python3-dev python3-numpy python3-pandas python3-pytest python3-matplotlib) # the Python module

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# The number-format tests also run under a locale whose decimal separator is a comma.
ensure_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return
  as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  as_root locale-gen >/dev/null
}

build() { # build-dir, [--target name...,] cmake options...
  local dir=$1; shift
  local targets=()
  while [ "${1:-}" = --target ]; do targets+=(--target "$2"); shift 2; done
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" "${targets[@]}"
}

install_missing_packages

if [ "$mode" = run ]; then
  build build-release --target filonex --target filonex-batch --target filonex-plot --target filonex_python \
    -DCMAKE_BUILD_TYPE=Release
  program=build-release/bin/filonex
  if [ ! -x "$program" ]; then
    echo "The window program is not built yet; the simulation libraries were built and tested only." >&2
    exit 0
  fi
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display is available, so the Filonex window cannot open." >&2
    echo "Start it under a virtual display with:  xvfb-run -a $program" >&2
    echo "or run simulations without a window:    build-release/bin/filonex-batch --help" >&2
    exit 1
  fi
  exec "$program"
fi

ensure_comma_locale
# The core libraries once more under AddressSanitizer and UndefinedBehaviorSanitizer.
build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DFILONEX_CORE_ONLY=ON -DFILONEX_SANITIZE=ON
ctest --test-dir build-sanitize --output-on-failure -j2
# Two worlds on two threads under ThreadSanitizer, in a small tree of its own.
build build-tsan -DCMAKE_BUILD_TYPE=Debug -DFILONEX_TSAN=ON
ctest --test-dir build-tsan --output-on-failure
build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The window tests need a display; a virtual one serves everywhere.
xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" ctest --test-dir build --output-on-failure -j2
