#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to a passing test suite (headless, warnings are errors).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
bash scripts/build.sh -DPEXA_WARNINGS_AS_ERRORS=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$(nproc)"
