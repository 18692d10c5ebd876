#!/usr/bin/env bash
# systemd_units_test.sh CMAKE BUILD_DIR: the indexer's service and timer as the tools package
# installs them, checked by systemd-analyze verify for user zqtest: no error and no warning (an
# unknown key or value is only a warning, with exit status 0, so any output fails). The unit names
# /usr/bin/zqpdm-index, which the check requires to exist: the copy checked names the installed
# program in a temporary folder instead, nothing else changed. Skipped (77) without systemd-analyze.
set -uo pipefail
cmake=$1 build=$2
if ! command -v systemd-analyze >/dev/null 2>&1; then
  echo "systemd-analyze is not installed (Debian package systemd; ./zq installs it): the units are not checked"
  exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! "$cmake" --install "$build" --component tools --prefix "$out/usr" >"$out/install.log" 2>&1; then
  cat "$out/install.log"
  exit 1
fi
units="$out/usr/lib/systemd/system"
for unit in zqpdm-index@.service zqpdm-index@.timer; do
  [ -f "$units/$unit" ] || { echo "the tools component installs no $unit"; exit 1; }
done
mkdir "$out/checked"
for unit in "$units"/*; do
  sed "s#/usr/bin/zqpdm-index#$out/usr/bin/zqpdm-index#g" "$unit" >"$out/checked/$(basename "$unit")"
done
grep -q '^ExecStart=/usr/bin/zqpdm-index ' "$units/zqpdm-index@.service" || { echo "ExecStart names another program"; exit 1; }
# Installing enables nothing: the timer is enabled by the administrator, for a user of theirs.
if find "$out" -path '*.wants/*' | grep -q .; then echo "the package enables a unit"; exit 1; fi
report=$(MANPATH="$out/usr/share/man" systemd-analyze verify "$out/checked/zqpdm-index@zqtest.service" \
           "$out/checked/zqpdm-index@zqtest.timer" 2>&1)
status=$?
if [ "$status" != 0 ] || [ -n "$report" ]; then
  echo "systemd-analyze verify (exit $status):"
  echo "$report"
  exit 1
fi
echo "zqpdm-index@.service and zqpdm-index@.timer: systemd-analyze verify is clean"
