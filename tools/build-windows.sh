#!/usr/bin/env bash
# Cross-builds quennet-diff.exe for 64-bit Windows with MinGW-w64 (runtime linked in, no DLLs)
# and packs it with the README, the licence, the manual and the JSON Schemas:
#   build-windows/quennet-diff.exe, build-windows/quennet-pro-VERSION-win64.zip
# Extra arguments go to CMake (tools/setup.sh passes -DQUENNET_WERROR=ON). The platform tests
# are built too; `ctest --test-dir build-windows` runs them under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUENNET_GUI=OFF "$@" >/dev/null
cmake --build build-windows -j "$(nproc)" --target quennet-diff platform_tests
(cd build-windows && cpack -G ZIP >/dev/null)
ls build-windows/quennet-diff.exe build-windows/quennet-pro-*-win64.zip
