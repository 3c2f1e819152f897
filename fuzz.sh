#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one for a while: ./fuzz.sh NAME_fuzz [seconds]
set -euo pipefail
source "$(dirname "$0")/scripts_common.sh"
install_missing clang
configure_and_build build-fuzz -DCMAKE_BUILD_TYPE=Debug -DBRELNOVA_FUZZ=ON -DBRELNOVA_SANITIZE=ON \
  -DBRELNOVA_READERS_ONLY=ON -DBRELNOVA_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++
target="${1:?name of a fuzz target, e.g. icon_file_fuzz}"
seconds="${2:-60}"
bin=$(find "$ROOT/build-fuzz" -type f -name "$target" -perm -u+x | head -n 1)
corpus="$ROOT/build-fuzz/corpus/$target"
mkdir -p "$corpus"
ASAN_OPTIONS=detect_leaks=0 "$bin" -max_total_time="$seconds" "$corpus" "$ROOT/testdata/fuzz/$target"
