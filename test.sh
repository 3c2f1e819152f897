#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. BRELNOVA_FAST=1 skips the sanitizer build.
set -euo pipefail
source "$(dirname "$0")/scripts_common.sh"
install_missing

configure_and_build build -DCMAKE_BUILD_TYPE=Debug
(cd "$ROOT/build" && ctest --output-on-failure -j "$JOBS" --timeout 600)

if [ "${BRELNOVA_FAST:-0}" != 1 ]; then
  # The libraries that read files run their tests and fuzz seeds again under ASan and UBSan.
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DBRELNOVA_SANITIZE=ON -DBRELNOVA_READERS_ONLY=ON
  (cd "$ROOT/build-asan" && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j "$JOBS" --timeout 900)
fi
