#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
# Idempotent: only missing packages are installed. Runs as root or through sudo.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # test and benchmark frameworks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # libraries the programs use
  libsdl2-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev libopenmpt-dev
  # the 3D engine: ZIP data archives, OpenGL through libepoxy, Mesa's
  # software rasteriser with EGL for offscreen rendering
  libzip-dev libepoxy-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  # fonts the text layer maps the magazine's face names to
  fontconfig fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra
  # peers linked into the benchmarks only
  libgif-dev libdeflate-dev libassimp-dev
  # test tools: pictures written and read back by another program, a real
  # X server driven like a person would; gdb for the stacks of a program
  # that a desktop test finds stuck
  imagemagick xvfb xdotool x11-utils xauth stress-ng sox gdb
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
