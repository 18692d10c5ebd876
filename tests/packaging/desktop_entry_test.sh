#!/usr/bin/env bash
# desktop_entry_test.sh DESKTOP_FILE: the client's menu entry passes desktop-file-validate;
# skipped (77) when desktop-file-utils is not installed (./zq package installs it).
set -uo pipefail
if ! command -v desktop-file-validate >/dev/null 2>&1; then
  echo "desktop-file-validate is not installed: the desktop entry is not checked (./zq package installs it)"
  exit 77
fi
report=$(desktop-file-validate "$1" 2>&1)
result=$?
[ -z "$report" ] || echo "$report"
exit "$result"
