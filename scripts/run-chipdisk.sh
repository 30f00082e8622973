#!/usr/bin/env bash
# Starts the chip-music player on the sample disk the build made.
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$build/chipdisk-sample"
exec "$build/chipdisk/chipdisk"
