#!/usr/bin/env bash
# packages_test.sh CPACK BUILD_DIR SOURCE_DIR: makes the Debian packages of this build in a
# temporary folder and fails on any lintian error or warning (packaging/lint.sh); skipped (77)
# when lintian is not installed.
set -uo pipefail
cpack=$1 build=$2 source=$3
if ! command -v lintian >/dev/null 2>&1; then
  echo "lintian is not installed: the packages are not checked (./zq package installs it)"
  exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
shopt -s nullglob
packages=("$out"/*.deb)
((${#packages[@]})) || { echo "cpack made no package"; cat "$out/cpack.log"; exit 1; }
"$source/packaging/lint.sh" "${packages[@]}"
