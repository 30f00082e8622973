#!/usr/bin/env bash
# Writes every page of every article of an issue as PNG, for a person to
# look at: BUILD/sample/pages/<article>-<page>.png.
# Usage: sample-pages.sh BUILD_DIR [ARCHIVE]
set -euo pipefail
build=$(cd "$1" && pwd)
archive=${2:-$build/sample/varnel.rs}
out="$build/sample/pages"
rm -rf "$out"
mkdir -p "$out"
"$build/tools/varnel-rs" list "$archive" | while read -r name stored unpacked packed; do
  case "$name" in
    ARTS/*) ;;
    *) continue ;;
  esac
  base=$(basename "$name")
  previous=-1
  for page in $(seq 0 200); do
    png="$out/${base%.*}-$(printf '%02d' "$page").png"
    top=$("$build/tools/varnel-page" "$archive" "$name" -o "$png" --page-down "$page" --layout \
          | tail -n 1 | sed -n 's/.*"topRow":\([0-9-]*\)}.*/\1/p')
    if [ "$top" = "$previous" ]; then
      rm -f "$png"
      break
    fi
    previous=$top
  done
done
echo "Pages written to $out"
ls "$out" | wc -l
