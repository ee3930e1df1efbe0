#!/usr/bin/env bash
# The suite under the sanitizers: the whole suite built with ASan+UBSan
# (build-asan/), then the threaded parts (Auto Test, the simulator) with TSan
# (build-tsan/). Qt comes from Debian uninstrumented: TSan reports from inside
# its libraries are suppressed (tests/tsan.supp), never the project's own.
# Usage: scripts/sanitize.sh [asan|tsan|all]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
which="${1:-all}"
T7_PACKAGES_ONLY=1 "$root/scripts/setup.sh"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME="$scratch/data"
export QT_QPA_PLATFORM=offscreen

configure() { # build dir, option
  if [ ! -f "$1/build.ninja" ]; then
    cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-D$2=ON"
  fi
  cmake --build "$1" -j "$(nproc)"
}

if [ "$which" = asan ] || [ "$which" = all ]; then
  configure "$root/build-asan" T7_ASAN
  # ASan's dlopen interceptor hides the program's RUNPATH from the loader, so
  # the library built beside the tests is named by the loader path instead.
  LD_LIBRARY_PATH="$root/build-asan/lib" ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$root/build-asan" --output-on-failure --no-tests=error -j "$(nproc)"
fi
if [ "$which" = tsan ] || [ "$which" = all ]; then
  configure "$root/build-tsan" T7_TSAN
  LD_LIBRARY_PATH="$root/build-tsan/lib" TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp" \
    ctest --test-dir "$root/build-tsan" --output-on-failure --no-tests=error -j "$(nproc)" \
      -R '^(sim\.|mifare_one\.AutoTest|e2e\.MifareOneEndToEnd\.AutoTest)'
fi
