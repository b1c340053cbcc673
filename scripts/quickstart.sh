#!/usr/bin/env bash
# Set up a Debian 12 machine for QUELDA24, build it, then either start the
# program ("run") or run the whole test suite ("test").
#   bash scripts/quickstart.sh run [program options]   (default: --simulate)
#   bash scripts/quickstart.sh test
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-run}
shift || true

packages=(build-essential clang cmake ninja-build qt6-base-dev libgtest-dev libfftw3-dev pkg-config desktop-file-utils libmseed-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# clang++: the program's sequences are C++20 coroutines, which g++ 12 (Debian
# 12's) miscompiles when a co_await stands in a condition.
# Q24_WERROR=ON (as CI sets it) turns compiler warnings into errors.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQ24_WERROR="${Q24_WERROR:-OFF}" >/dev/null
cmake --build build -j2

case "$what" in
  run)
    # With no options the program starts against the emulated units.
    [ $# -gt 0 ] || set -- --simulate
    exec build/bin/quelda24 "$@"
    ;;
  test)
    cd build
    exec ctest --output-on-failure -j2 --timeout 600
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
