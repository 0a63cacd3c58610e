#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
bash scripts/build.sh
# Without a desktop session Qt would abort; say what to do instead (QT_QPA_PLATFORM picks a platform
# of its own, such as offscreen, so it is left to Qt).
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: built, but the window needs a desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set);" \
    "here, rewrite files with build/cli/pexa-rewrite instead (build/cli/pexa-rewrite --help)" >&2
  exit 1
fi
exec ./build/app/pexa
