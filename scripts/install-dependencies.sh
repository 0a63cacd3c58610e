#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its benchmarks need; only what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config       # compiler and build tools
  qt6-base-dev                           # Qt 6 Widgets, Network and Test
  libopencc-dev opencc                   # simplified/traditional conversion and its data files
  libicu-dev                             # UTF-8 conversion
  libgtest-dev libbenchmark-dev          # tests and benchmarks
  fonts-wqy-microhei                     # a Chinese font so the window can show its text
  python3 python3-jieba                  # the phrase list checker and its lexicon
  manpages-zh debian-faq-zh-cn           # Chinese prose the readability measurement rewrites
  dpkg-dev lintian desktop-file-utils    # the Debian package and its checks
  appstream groff-base bash-completion
  chromium                               # renders the comparison page in its test
  parallel                               # the batch split over cores in its test
)
exec bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
