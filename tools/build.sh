#!/usr/bin/env bash
# Configures (once) and builds one of the project's builds under build/:
#   native    the portable core, tools and native tests under AddressSanitizer + UBSan
#   release   the portable core, tools and benchmarks, optimised
#   win32     the shipped 32-bit Windows deliverables
#   win64     the same sources for 64-bit Windows, run under Wine here
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=${1:?usage: build.sh native|release|win32|win64}
dir=$top/build/$kind
case $kind in
    native) args=(-DCMAKE_BUILD_TYPE=Debug -DQX_SANITIZE=ON -DQX_BENCH=OFF) ;;
    release) args=(-DCMAKE_BUILD_TYPE=Release -DQX_TESTS=OFF) ;;
    win32) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake") ;;
    win64) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake") ;;
    *) echo "build.sh: unknown build '$kind'" >&2; exit 2 ;;
esac
if [ ! -f "$dir/build.ninja" ]; then
    cmake -G Ninja -S "$top" -B "$dir" "${args[@]}" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
