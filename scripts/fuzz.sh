#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan+UBSan) in build-fuzz/ and runs
# each for a bounded time on its seed corpus (fuzz/corpus/<name>). A crash
# leaves its input in build-fuzz/fuzz/crashes/<name>/ and fails the script.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="${T7_FUZZ_BUILD_DIR:-$root/build-fuzz}"

T7_PACKAGES_ONLY=1 "$root/scripts/setup.sh"
for package in clang libclang-rt-14-dev; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$package"
  fi
done

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DT7_FUZZ=ON
fi
cmake --build "$build" -j "$(nproc)" --target fuzzers

targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in "$root"/fuzz/*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

export QT_QPA_PLATFORM=offscreen
status=0
for name in "${targets[@]}"; do
  corpus="$build/fuzz/corpus/$name"
  crashes="$build/fuzz/crashes/$name"
  mkdir -p "$corpus" "$crashes"
  echo "== fuzz_$name: ${seconds}s"
  if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$crashes/" "$corpus" "$root/fuzz/corpus/$name" 2>"$build/fuzz/$name.log"; then
    echo "fuzz_$name found a crash: $(ls "$crashes")"
    tail -40 "$build/fuzz/$name.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/fuzz/$name.log" | sed 's/^/   /'
  fi
done
exit "$status"
