#!/usr/bin/env bash
# Renders the golden pages of the sample issue anew (after a deliberate
# change of the artwork, the font or the articles). Look at them before
# committing. Usage: update-goldens.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
golden="$root/tests/samples/golden"
page() { "$build/tools/varnel-page" "$build/sample/varnel.rs" "$1" -o "$golden/$3" --page-down "$2" --mouse 320,60 > /dev/null; }
page ARTS/help.txt 1 help-01.png
page ARTS/making.txt 1 making-01.png
page ARTS/menu.vn2 0 menu-00.png
echo "Golden pages written to $golden"
