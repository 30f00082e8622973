#!/usr/bin/env bash
# Peak resident memory of the demo playing under a private X server: starts
# `marigold` in the sample folder under /usr/bin/time, accepts the renderer
# dialog, lets it play, ends it with Escape and prints the peak.
#
#   scripts/measure-demo-memory.sh [BUILD_DIR] [SECONDS] [FOLDER]
#
# BUILD_DIR defaults to build/release, SECONDS to 60, FOLDER to the build's
# marigold-sample folder.
set -euo pipefail

build=$(realpath "${1:-build/release}")
seconds=${2:-60}
folder=$(realpath "${3:-$build/marigold-sample}")
demo=$build/marigold/marigold
work=$(mktemp -d)
xvfb_pid=""
demo_pid=""

cleanup() {
  if [ -n "$demo_pid" ]; then kill "$demo_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

[ -x "$demo" ] || { echo "no $demo: build the marigold target" >&2; exit 1; }
[ -d "$folder" ] || { echo "no sample folder $folder" >&2; exit 1; }

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

# The demo's one-copy lock belongs to this private display, so a copy that
# runs on another display does not stop this one.
(cd "$folder" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null \
  exec /usr/bin/time -v -o "$work/time.txt" "$demo") &
demo_pid=$!

dialog=$(timeout 60 xdotool search --sync --name '^Renderer$' | head -n1)
xdotool windowfocus --sync "$dialog" key Return
window=$(timeout 120 xdotool search --sync --name '^Marigold$' | head -n1)
sleep "$seconds"
xdotool windowfocus "$window" key Escape
wait "$demo_pid" || true
demo_pid=""
grep -E "Maximum resident set size|Elapsed \(wall clock\)|Exit status" "$work/time.txt"
