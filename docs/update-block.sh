#!/usr/bin/env bash
# docs/update-block.sh FILE NAME: puts standard input between the lines "<!-- NAME:begin -->" and
# "<!-- NAME:end -->" of FILE in place of what stood there; the rest of the file stays as it is.
# When the markers are not there once each, in that order, it says so, exits 1 and leaves the file
# alone. The file is written whole and renamed into place.
set -euo pipefail
if [ $# -ne 2 ]; then echo "usage: docs/update-block.sh FILE NAME < CONTENT" >&2; exit 2; fi
file=$1 name=$2
begin="<!-- $name:begin -->" end="<!-- $name:end -->"
first=$(grep -nxF -- "$begin" "$file" | cut -d: -f1 | paste -sd ' ' -) || true
last=$(grep -nxF -- "$end" "$file" | cut -d: -f1 | paste -sd ' ' -) || true
if ! [[ "$first" =~ ^[0-9]+$ && "$last" =~ ^[0-9]+$ ]] || ((first > last)); then
  echo "update-block: $file has no single \"$begin\" ... \"$end\"" >&2
  exit 1
fi
content=$(mktemp)
updated=$(mktemp "$(dirname "$file")/.update-block.XXXXXX")
trap 'rm -f "$content" "$updated"' EXIT
cat >"$content"
awk -v begin="$begin" -v end="$end" -v content="$content" '
  $0 == end { while ((getline line < content) > 0) print line; skipping = 0 }
  !skipping { print }
  $0 == begin { skipping = 1 }
' "$file" >"$updated"
chmod --reference="$file" "$updated"
mv "$updated" "$file"
