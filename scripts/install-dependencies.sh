#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its benchmarks need; only what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config       # compiler and build tools
  qt6-base-dev                           # Qt 6 Widgets, Network and Test
  libopencc-dev opencc                   # simplified/traditional conversion and its data files
  libgtest-dev libbenchmark-dev          # tests and benchmarks
  fonts-wqy-microhei                     # a Chinese font so the window can show its text
  python3 python3-jieba                  # the phrase list checker and its lexicon
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
