#!/usr/bin/env bash
# Writes the figures of a measured run into the docs' marked blocks (docs/update-block.sh), each
# with the date, the machine's core count and the commit measured. ./zq calls it for --update-docs:
#   record-figures.sh test BUILD_DIR FUZZ_BUILD_DIR fresh=0|1 build=S fuzz_build=S tests=S fuzz=S
#       README.md zq:test-times, docs/reliability.md zq:test-record
#   record-figures.sh sanitize ASAN_BUILD_DIR build=S tests=S
#       docs/reliability.md zq:sanitize-record
#   record-figures.sh bench|bench-large|bench-web TABLES_DIR   (the tables ./zq bench kept, one file a program)
#       docs/performance.md zq:bench, zq:bench-content and zq:bench-preview, or zq:bench-large, or zq:bench-web
#   record-figures.sh fuzz-figures LOG   prints one fuzz run's figures on one line (./zq test shows it)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
UPDATE="$ROOT/docs/update-block.sh"

# 1234567 → 1,234,567
thousands() { sed -e ':a' -e 's/\([0-9]\)\([0-9]\{3\}\)\($\|[^0-9]\)/\1,\2\3/' -e 'ta' <<<"$1"; }

# "2026-12-10, 2 cores, commit 1a2b3c4" (with "and changes" when the checkout differs from it).
provenance() {
  local commit
  commit=$(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)
  git -C "$ROOT" diff --quiet HEAD -- 2>/dev/null || commit="$commit and changes"
  echo "$(date +%F), $(nproc) cores, commit $commit"
}

# name=value arguments as shell variables (build=173 → $build).
read_values() {
  local pair
  for pair in "$@"; do
    [[ "$pair" =~ ^[a-z_]+=[0-9]+$ ]] || { echo "record-figures: bad value \"$pair\"" >&2; exit 2; }
    printf -v "${pair%%=*}" '%s' "${pair#*=}"
  done
}

# One fuzz log's figures: "inputs 21,662; inputs a second 1,080; statements 21,662; ...".
fuzz_figures() {
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|zq-fuzz:)' "$1" |
    sed -e 's/^stat::number_of_executed_units: */inputs /' -e 's/^stat::average_exec_per_sec: */inputs a second /' \
        -e 's/^zq-fuzz: //' | while IFS= read -r figure; do thousands "$figure"; done | paste -sd ';' - | sed 's/;/; /g'
}

# How many CTest tests the last run in DIR ran; what it skipped: "CTest tests N, test cases M".
ctest_count() { sed -nE 's/.*tests passed, [0-9]+ tests failed out of ([0-9]+).*/\1/p' "$1/zq-ctest.log" | tail -n 1; }
skipped() {
  local whole all
  whole=$(grep -cE '^[[:space:]]*[0-9]+ - .+ \((Skipped|Not Run|Disabled)\)$' "$1/zq-ctest.log" || true)
  all=$("$ROOT/tests/skipped-tests.sh" "$1" "$1/zq-ctest.log" | wc -l)
  echo "CTest tests $whole, test cases $((all - whole))"
}

# A paragraph wrapped to the width of the docs' prose.
paragraph() { fmt -w 100; }

# The test programs of DIR and the GoogleTest cases they hold.
test_programs() { find "$1/bin" -maxdepth 1 -name '*_tests' -type f -perm -u+x | sort; }
test_cases() {
  local program count=0
  while IFS= read -r program; do
    count=$((count + $("$program" --gtest_list_tests 2>/dev/null | grep -c '^  ' || true)))
  done < <(test_programs "$1")
  echo "$count"
}

record_test() {
  local build_dir=$1 fuzz_dir=$2; shift 2
  local fresh=0 build=0 fuzz_build=0 tests=0 fuzz=0
  read_values "$@"
  local when total ctests skips programs cases targets state
  when=$(provenance)
  total=$((build + fuzz_build + tests + fuzz))
  ctests=$(ctest_count "$build_dir")
  skips=$(skipped "$build_dir")
  programs=$(test_programs "$build_dir" | wc -l)
  cases=$(thousands "$(test_cases "$build_dir")")
  targets=$(find "$fuzz_dir/fuzz-logs" -name '*.log' 2>/dev/null | wc -l)
  state="on build folders already built"; ((fresh == 0)) || state="with the build folders made from nothing"
  paragraph <<EOF | "$UPDATE" "$ROOT/README.md" zq:test-times
Measured by \`./zq test --update-docs\` ($when), $state: $total s in all: build $build s,
fuzz build $fuzz_build s, suite $tests s ($ctests CTest tests from $programs test programs, $cases test
cases; skipped where they do not apply: $skips), fuzz $fuzz s ($targets targets, 20 s each, two at a
time).
EOF
  local rows="" log
  for log in "$fuzz_dir"/fuzz-logs/*.log; do
    [ -f "$log" ] || continue
    rows+="| \`fuzz_$(basename "$log" .log)\` | $(fuzz_figures "$log") |"$'\n'
  done
  "$UPDATE" "$ROOT/docs/reliability.md" zq:test-record <<EOF
Seen by \`./zq test --update-docs\` ($when), $state:

| Check | Result |
|---|---|
| Suite: $ctests CTest tests (one a test source file) from $programs test programs, $cases test cases, PostgreSQL included | all passed in $tests s; skipped where they do not apply: $skips (\`./zq test\` lists each with its reason) |
| Short fuzz: $targets targets, 20 s each | all passed in $fuzz s: crashes 0, broken properties 0 |

Each fuzz target's figures in that run (what a target counts itself after the inputs):

| Target | Figures |
|---|---|
${rows%$'\n'}
EOF
}

record_sanitize() {
  local asan_dir=$1; shift
  local build=0 tests=0
  read_values "$@"
  paragraph <<EOF | "$UPDATE" "$ROOT/docs/reliability.md" zq:sanitize-record
Seen by \`./zq test --sanitize --update-docs\` ($(provenance)): build $build s, then
$(ctest_count "$asan_dir") CTest tests in $tests s, all passed, no sanitizer report; skipped where they
do not apply: $(skipped "$asan_dir").
EOF
}

# A program's table as a code block.
table() { printf '```\n'; cat "$1"; printf '```\n'; }

record_bench() {
  local tables=$1 when program
  when=$(provenance)
  {
    echo "Measured by \`./zq bench --update-docs\` ($when):"
    echo
    printf '```\n'
    for program in bench_scale bench_gbktext bench_listfill; do
      [ -f "$tables/$program.txt" ] && cat "$tables/$program.txt"
    done
    printf '```\n'
  } | "$UPDATE" "$ROOT/docs/performance.md" zq:bench
  if [ -f "$tables/bench_content.txt" ]; then
    { echo "Measured by \`./zq bench --update-docs\` ($when):"; echo; table "$tables/bench_content.txt"; } |
      "$UPDATE" "$ROOT/docs/performance.md" zq:bench-content
  fi
  if [ -f "$tables/bench_preview.txt" ]; then
    { echo "Measured by \`./zq bench --update-docs\` ($when):"; echo; table "$tables/bench_preview.txt"; } |
      "$UPDATE" "$ROOT/docs/performance.md" zq:bench-preview
  fi
}

record_bench_large() {
  { echo "Measured by \`./zq bench --large --update-docs\` ($(provenance)):"; echo; table "$1/bench_scale.txt"; } |
    "$UPDATE" "$ROOT/docs/performance.md" zq:bench-large
}

record_bench_web() {
  { echo "Measured by \`./zq bench --web --update-docs\` ($(provenance)):"; echo; table "$1/bench_scale.txt"; } |
    "$UPDATE" "$ROOT/docs/performance.md" zq:bench-web
}

kind=${1:-}
(($#)) && shift
case "$kind" in
  test) record_test "$@" ;;
  sanitize) record_sanitize "$@" ;;
  bench) record_bench "$@" ;;
  bench-large) record_bench_large "$@" ;;
  bench-web) record_bench_web "$@" ;;
  fuzz-figures) fuzz_figures "$@" ;;
  *) echo "usage: docs/record-figures.sh test|sanitize|bench|bench-large|bench-web|fuzz-figures ..." >&2; exit 2 ;;
esac
