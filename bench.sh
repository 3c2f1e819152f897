#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all.
set -euo pipefail
source "$(dirname "$0")/scripts_common.sh"
install_missing
configure_and_build build-bench -DCMAKE_BUILD_TYPE=Release -DBRELNOVA_BENCH=ON -DBRELNOVA_TESTS=OFF
for b in "$ROOT"/build-bench/bench/*_bench; do
  [ -x "$b" ] && QT_QPA_PLATFORM=offscreen "$b" "$@"
done
