#!/usr/bin/env bash
# Prints the median start-up time (launch to first shown window, offscreen) of the program and of a
# bare Qt window with the same controls. Usage: tools/measure-startup.sh [RUNS] (default 31).
# Build first with scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-31}
# The runtime folder Qt would pick itself; set here so that every start does not warn about it.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}
exec build/bench/startup/pexa_startup_timer "$runs" build/bench/startup/pexa_bare_window build/app/pexa
