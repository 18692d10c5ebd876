#!/usr/bin/env bash
# web_package_test.sh CPACK BUILD_DIR: the zqpdm-web package as it installs, and its service.
#   - the package and the tools package it depends on are made by cpack and unpacked into a
#     scratch root: the program the unit starts, the settings file it reads (a conffile) and the
#     zqpdm-search the server runs are where the unit and the server expect them; every variable
#     the unit's command line uses is set in the settings file;
#   - the postinst, run with stand-ins for adduser and systemctl, makes the user the unit runs as;
#   - systemd-analyze verify has nothing to say about the unit (an unknown key or value is only a
#     warning, with exit status 0, so any output fails), and systemd-analyze security --offline=yes
#     rates its exposure 3.0 or lower.
# The unit checked names the unpacked files instead of /usr/bin and /etc, nothing else changed.
# Skipped (77) without systemd-analyze or dpkg-deb.
set -uo pipefail
cpack=$1 build=$2
for tool in systemd-analyze dpkg-deb; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed (./zq installs it): the web package is not checked"
    exit 77
  fi
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "$*"; exit 1; }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out/debs" -D "CPACK_COMPONENTS_ALL=web;tools" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
shopt -s nullglob
web=("$out"/debs/zqpdm-web_*.deb)
tools=("$out"/debs/zqpdm-tools_*.deb)
((${#web[@]} == 1 && ${#tools[@]} == 1)) || { cat "$out/cpack.log"; fail "cpack made no zqpdm-web or zqpdm-tools package"; }
root="$out/root"
dpkg-deb -x "${web[0]}" "$root" && dpkg-deb -x "${tools[0]}" "$root" || fail "the packages do not unpack"
dpkg-deb -e "${web[0]}" "$out/control" || fail "the package's control files do not unpack"

unit="$root/usr/lib/systemd/system/zqpdm-web.service"
[ -f "$unit" ] || fail "the package installs no zqpdm-web.service"
value() { sed -n "s/^$1=//p" "$unit" | tail -n 1; }

# The program, the settings and the worker program.
exec_start=$(value ExecStart)
program=${exec_start%% *}
[ "$program" = /usr/bin/zqpdm-web ] || fail "ExecStart names $program, not /usr/bin/zqpdm-web"
[ -x "$root$program" ] || fail "the package installs no $program"
[ -x "$root/usr/bin/zqpdm-search" ] || fail "the server's worker /usr/bin/zqpdm-search is not beside it"
grep -q '^Depends:.*zqpdm-tools (= ' "$out/control/control" || fail "zqpdm-web does not depend on zqpdm-tools, which has zqpdm-search"
settings=$(value EnvironmentFile)
[ "${settings#-}" = "$settings" ] || fail "EnvironmentFile=$settings is optional: without it the server has no installation"
[ -f "$root$settings" ] || fail "the package installs no $settings"
grep -qx "$settings" "$out/control/conffiles" || fail "$settings is not a conffile: an upgrade would overwrite the administrator's settings"
for variable in $(grep -o '\${\?[A-Z_][A-Z0-9_]*' <<<"$exec_start" | tr -d '${'); do
  grep -q "^$variable=" "$root$settings" || fail "ExecStart uses \$$variable, which $settings does not set"
done
[ -f "$root/usr/share/man/man1/zqpdm-web.1.gz" ] || fail "the package installs no man page"

# The user the unit runs as is the one the postinst makes.
user=$(value User)
[ -n "$user" ] || fail "the unit names no User="
mkdir "$out/bin"
for stand_in in adduser systemctl; do
  printf '#!/bin/sh\necho %s "$@" >>"%s/calls"\n' "$stand_in" "$out" >"$out/bin/$stand_in"
  chmod +x "$out/bin/$stand_in"
done
PATH="$out/bin:$PATH" sh "$out/control/postinst" configure || fail "the postinst failed"
grep -q "^adduser --system .* $user\$" "$out/calls" || fail "the postinst does not make the system user $user: $(cat "$out/calls")"

# The two checks of systemd-analyze on the unit as installed.
checked="$out/checked/zqpdm-web.service"
mkdir "$out/checked"
sed -e "s#^ExecStart=/usr/bin/#ExecStart=$root/usr/bin/#" -e "s#^EnvironmentFile=/#EnvironmentFile=$root/#" "$unit" >"$checked"
report=$(MANPATH="$root/usr/share/man" systemd-analyze verify "$checked" 2>&1)
status=$?
if [ "$status" != 0 ] || [ -n "$report" ]; then
  echo "systemd-analyze verify (exit $status):"
  echo "$report"
  exit 1
fi
security=$(systemd-analyze security --offline=yes "$checked" 2>&1)
exposure=$(sed -n 's/.*Overall exposure level for zqpdm-web.service: \([0-9.]*\).*/\1/p' <<<"$security")
[ -n "$exposure" ] || { echo "$security"; fail "systemd-analyze security gave no overall exposure"; }
if ! awk -v e="$exposure" 'BEGIN { exit !(e <= 3.0) }'; then
  echo "$security" | grep '✗'
  fail "zqpdm-web.service: exposure $exposure, above 3.0"
fi
echo "zqpdm-web package: files where the unit expects them; systemd-analyze verify is clean; exposure $exposure"
