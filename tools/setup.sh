#!/usr/bin/env bash
# Installs what is missing, builds, then runs the main job ("run") or every test ("test").
# Idempotent: a second call installs nothing and rebuilds only what changed.
set -euo pipefail

mode=${1:-test}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

packages=(g++ cmake ninja-build ccache libgtest-dev libgmock-dev
          qt6-base-dev qt6-base-dev-tools qt6-l10n-tools libqscintilla2-qt6-dev libxkbcommon-dev libgl-dev
          fonts-dejavu-core xvfb xauth)
# The package, git and schema checks: dpkg-shlibdeps, file, man, desktop-file-validate, jsonschema;
# the compiled units, ppudump and the sources the compiler agreement and coverage benches read,
# and Lazarus's form files for the form corpus checks.
if [ "$mode" = test ]; then
  packages+=(fp-compiler clang clang-tidy dpkg-dev file man-db git desktop-file-utils python3-jsonschema
            fp-units-rtl fp-units-fcl fp-units-base fp-units-db fp-units-math fp-units-net fp-units-misc
            fp-utils fpc-source lazarus-src)
  # The tree-sitter library the speed peer of the benches links (bench/build_peer.sh).
  packages+=(libtree-sitter-dev)
  # The Windows build and Wine to run it.
  packages+=(g++-mingw-w64-x86-64-posix wine64 wine)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# ccache may reuse objects from another checkout of the same sources.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true

jobs=$(nproc)
# Tests hold the code to no warnings; a user's build only reports them.
werror=OFF
[ "$mode" = test ] && werror=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENNET_WERROR=$werror >/dev/null
cmake --build build -j "$jobs"

case "$mode" in
  run)
    export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
    ./build/quennet-diff examples/old/Shapes.pas examples/new/Shapes.pas || true
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      exec ./build/quennet examples/new/Shapes.pas examples/old/Shapes.pas
    else
      shot="$root/build/quennet-examples.png"
      QT_QPA_PLATFORM=offscreen ./build/quennet --screenshot "$shot" \
        examples/new/Shapes.pas examples/old/Shapes.pas
      echo "No display: the main window was drawn offscreen to $shot"
    fi
    ;;
  test)
    # A test that hangs fails after this many seconds, named, instead of holding up the run.
    limit=900
    export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
    chmod 700 "$XDG_RUNTIME_DIR"
    git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
      'fuzz/*.cpp' 'fuzz/*.h' | xargs -0 clang-format --dry-run -Werror
    ctest --test-dir build --output-on-failure -j "$jobs" --timeout "$limit"
    # quennet-diff.exe cross-built, its platform tests and the golden cases run under Wine.
    bash tools/build-windows.sh -DQUENNET_WERROR=ON
    WINEDEBUG=-all ctest --test-dir build-windows --output-on-failure --timeout "$limit"
    bash tests/wine_check.sh build-windows/quennet-diff.exe build/quennet-diff tests/cases || [ $? = 77 ]
    bash tests/wine_git_check.sh build-windows/quennet-diff.exe build/quennet-diff . || [ $? = 77 ]
    # The engine's sources through clang-tidy (checks and reasons in .clang-tidy).
    run-clang-tidy -p build -j "$jobs" -quiet "$root/src/core/" >build/clang-tidy.log 2>&1 ||
      { grep -E -A3 'warning:|error:' build/clang-tidy.log; exit 1; }
    # The engine as users build it by default (Release optimises harder and warns differently).
    cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENNET_GUI=OFF \
      -DQUENNET_TESTS=OFF -DQUENNET_WERROR=ON >/dev/null
    cmake --build build-release -j "$jobs" --target quennet-diff
    # The engine once more under AddressSanitizer and UndefinedBehaviorSanitizer.
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUENNET_GUI=OFF \
      -DQUENNET_SANITIZE=ON -DQUENNET_WERROR=ON >/dev/null
    cmake --build build-asan -j "$jobs" --target core_tests quennet-diff
    ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout "$limit"
    # Every fuzz target built with clang's libFuzzer, run on its saved inputs and briefly beyond.
    bash fuzz/build.sh replay 3
    ;;
  *)
    echo "usage: tools/setup.sh run|test" >&2
    exit 2
    ;;
esac
