#!/usr/bin/env bash
# Builds and runs every benchmark, then prints one table of the measured
# ratios against their targets. Each ratio is measured in one run against its
# own baseline, so the machine's speed cancels out (its load does not: run it
# on a quiet machine). Usage: bench/run.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${T7_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh" >/dev/null
cmake --build "$build" -j "$(nproc)" --target benchmarks >/dev/null

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
export XDG_DATA_HOME="$scratch/data"

results="$scratch/results"
for program in bench_startup bench_autotest bench_wholecard; do
  "$build/bin/$program" >>"$results"
done

# "name key value key value ..." lines -> value of key on the named line
value() { awk -v name="$1" -v key="$2" '$1 == name { for (i = 2; i < NF; i += 2) if ($i == key) print $(i + 1) }' "$results"; }
row() { # measure, value, target text, verdict expression for awk (v = value) or info
  local verdict=-
  [ "$4" = info ] || verdict="$(awk -v v="$2" "BEGIN { print (($4) ? \"met\" : \"NOT MET\") }")"
  printf '| %-46s | %12s | %-12s | %-7s |\n' "$1" "$2" "$3" "$verdict"
}

printf '| %-46s | %12s | %-12s | %-7s |\n' "measure" "value" "target" "verdict"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..48})" "$(printf -- '-%.0s' {1..14})" \
  "$(printf -- '-%.0s' {1..14})" "$(printf -- '-%.0s' {1..9})"
row "start-up, T7Demo / minimal Qt window" "$(value startup_ms ratio)" "<= 1.30" "v <= 1.30"
row "start-up, bare Qt main window / minimal" "$(value startup_ms mainwindow_ratio)" "(info)" info
row "start-up, T7Demo / bare Qt main window" "$(value startup_ms t7_over_mainwindow)" "(info)" info
row "peak RSS, T7Demo - minimal (MB)" "$(value peak_rss_mb extra)" "<= 15" "v <= 15"
row "Auto Test S50, instant (passes/s)" "$(value autotest_instant_s50 passes_per_s)" ">= 1000" "v >= 1000"
row "Auto Test worker / direct calls, instant" "$(value autotest_instant_s50 ratio)" "(info)" info
row "UI event-loop stall while testing (ms)" "$(value autotest_instant_s50 ui_gap_ms)" "<= 50" "v <= 50"
row "Auto Test S50, air: overhead over bound (%)" "$(value autotest_air_s50 overhead_pct)" "<= 5" "v <= 5"
row "Auto Test S70, air: overhead over bound (%)" "$(value autotest_air_s70 overhead_pct)" "<= 5" "v <= 5"
row "whole-card read, air: overhead over bound (%)" "$(value wholecard_air_s50 overhead_pct)" "<= 5" "v <= 5"
echo
echo "raw:"
sed 's/^/  /' "$results"
