#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
bash scripts/build.sh
exec ./build/app/pexa
