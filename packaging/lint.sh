#!/usr/bin/env bash
# lint.sh DEB...: checks Debian packages with lintian. Prints each package's verdict ("N errors,
# N warnings") and the tags found; exits 1 when a package has an error or a warning or lintian
# fails, 77 when lintian is not installed (./zq package installs it).
set -uo pipefail
if ! command -v lintian >/dev/null 2>&1; then
  echo "lintian is not installed: the packages are not checked (./zq package installs it)"
  exit 77
fi
(($#)) || { echo "lint.sh: no packages given" >&2; exit 1; }
status=0
for deb in "$@"; do
  report=$(lintian --fail-on error,warning "$deb" 2>&1)
  result=$?
  # A root shell (a container, CI) is told that on every run: not a finding about the package.
  report=$(grep -v '^running with root privileges is not recommended!$' <<<"$report")
  errors=$(grep -c '^E: ' <<<"$report")
  warnings=$(grep -c '^W: ' <<<"$report")
  echo "lintian $(basename "$deb"): $errors errors, $warnings warnings"
  [ -z "$report" ] || sed 's/^/  /' <<<"$report"
  ((result == 0)) || status=1
done
exit "$status"
