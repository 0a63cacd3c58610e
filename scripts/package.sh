#!/usr/bin/env bash
# Builds the Debian package build/pexa_<version>_<arch>.deb (CPack's DEB generator over the install
# rules of the build). Install it with: sudo apt install ./build/pexa_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
bash scripts/build.sh
cmake --build build --target package
