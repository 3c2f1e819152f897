#!/usr/bin/env bash
# Builds when needed and starts the editor with the given files.
set -euo pipefail
source "$(dirname "$0")/scripts_common.sh"
install_missing
configure_and_build build -DCMAKE_BUILD_TYPE=Debug
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Brelnova Studio needs a display. Without one, run it under Xvfb: xvfb-run ./run.sh [file]" >&2
  exit 1
fi
exec "$ROOT/build/bin/brelnova-studio" "$@"
