#!/usr/bin/env bash
# Sets everything up and runs the whole test suite (GUI tests headless).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

# Keep the tests away from the user's own key file and simulator bench.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME="$scratch/data"
export QT_QPA_PLATFORM=offscreen

ctest --test-dir "${T7_BUILD_DIR:-$root/build}" --output-on-failure --no-tests=error -j "$(nproc)" "$@"
