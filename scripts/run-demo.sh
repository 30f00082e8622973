#!/usr/bin/env bash
# What `make run` shows until the reader's window and main sequence exist:
# a magazine archive packed from the repository with the authors' tools,
# listed and verified through the reader's own archive code.
set -euo pipefail
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
out="$build/demo"
mkdir -p "$out"

"$build/tools/varnel-rs" pack -o "$out/varnel.rs" -C "$root" --auto README.md tools
echo "Packed $out/varnel.rs:"
"$build/tools/varnel-rs" list "$out/varnel.rs"
"$build/tools/varnel-rs" verify "$out/varnel.rs" | tail -n 1
echo
echo "The reader's window is not part of this build yet; the archive tools above are."
