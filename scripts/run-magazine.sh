#!/usr/bin/env bash
# Starts the magazine on the sample issue the build made.
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$build/sample"
exec "$build/varnel/varnel"
