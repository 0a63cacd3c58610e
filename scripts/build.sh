#!/usr/bin/env bash
# Configures and builds the project into build/ (extra CMake options may be passed).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build build --parallel "$(nproc)"
