#!/usr/bin/env bash
# Runs one fuzz target from its seed corpus: run-fuzz-target.sh BINARY NAME SECONDS SOURCE_DIR BINARY_DIR
# for ZQ_FUZZ_SECONDS seconds when that is set, else SECONDS; the log of the run is kept in
# BINARY_DIR/fuzz-logs/NAME.log.
set -euo pipefail
binary=$1 name=$2 seconds=$3 source=$4 build=$5
corpus="$build/fuzz-corpus/$name"
artifacts="$build/fuzz-artifacts"
mkdir -p "$corpus" "$artifacts" "$source/corpus/$name"
args=(-timeout=30 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/$name-")
[ -f "$source/$name.dict" ] && args+=(-dict="$source/$name.dict")
args+=(-max_total_time="${ZQ_FUZZ_SECONDS:-$seconds}")
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1:suppressions=$source/../sanitizers/ubsan.supp}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$source/../sanitizers/lsan.supp:print_suppressions=0}"
# The whole output goes to fuzz-logs/NAME.log; the figures of the run (inputs tried, and what a
# target counts itself) are printed, and everything when the run fails.
mkdir -p "$build/fuzz-logs"
log="$build/fuzz-logs/$name.log"
status=0
"$binary" "${args[@]}" "$corpus" "$source/corpus/$name" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  cat "$log"
else
  grep -E '^(Done [0-9]+ runs|stat::number_of_executed_units|zq-fuzz:)' "$log" || true
fi
exit "$status"
