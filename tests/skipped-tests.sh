#!/usr/bin/env bash
# tests/skipped-tests.sh BUILD_DIR CTEST_OUTPUT: after a ctest run in BUILD_DIR whose console output
# is in the file CTEST_OUTPUT, one line for each test that was skipped, with the reason it gave:
# the CTest tests that did not run (a checker missing: exit status 77), with the first line they
# printed, and the GoogleTest cases skipped inside a test that ran (GTEST_SKIP), with their message.
# Prints nothing when nothing was skipped.
set -uo pipefail
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] && [ -f "$2" ] || exit 0
not_run=$(sed -nE 's/^[[:space:]]*[0-9]+ - (.+) \((Skipped|Not Run|Disabled)\)$/\1/p' "$2" | paste -sd ' ' -)
awk -v not_run=" $not_run " '
  /^[0-9]+\/[0-9]+ Test: / { test = $3; next }
  /^Output:$/ { getline; in_output = 1; first = ""; next }
  /^<end of output>$/ {
    in_output = 0
    if (index(not_run, " " test " ")) print test ": " (first == "" ? "(no reason printed)" : first)
    next
  }
  !in_output { next }
  reading {
    if (/^\[  SKIPPED \] /) {
      sub(/ \([0-9]+ ms\)$/, "", $0)
      print test " " $4 ": " (reason == "" ? "(no reason given)" : reason)
      reading = 0
    } else if ($0 != "") {
      reason = reason (reason == "" ? "" : " ") $0
    }
    next
  }
  /: Skipped$/ { reading = 1; reason = ""; next }
  first == "" && $0 != "" && !/^QStandardPaths: / { first = $0 }
' "$log"
