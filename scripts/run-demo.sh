#!/usr/bin/env bash
# Starts the demo in the sample demo folder the build made.
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$build/marigold-sample"
exec "$build/marigold/marigold"
