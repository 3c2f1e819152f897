#!/usr/bin/env bash
# Builds one libFuzzer target with clang and runs it for a while: ./fuzz.sh NAME_fuzz [seconds].
# Every *_fuzz.cpp of the source is a target; without a name, or with one the source does not
# hold, the script lists them.
set -euo pipefail
source "$(dirname "$0")/scripts_common.sh"
mapfile -t targets < <(find "$ROOT/src" -name '*_fuzz.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
target="${1:-}"
if [ -z "$target" ] || ! printf '%s\n' "${targets[@]}" | grep -qx -- "$target"; then
  [ -n "$target" ] && echo "fuzz.sh: the source holds no fuzz target $target" >&2
  echo "usage: ./fuzz.sh NAME_fuzz [seconds]; the fuzz targets are:" >&2
  printf '  %s\n' "${targets[@]}" >&2
  exit 2
fi
seconds="${2:-60}"
install_missing clang
# The whole project is configured, so that a target of any library can be built, but only the
# target asked for is compiled, with what it links.
cmake -S "$ROOT" -B "$ROOT/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRELNOVA_FUZZ=ON \
  -DBRELNOVA_SANITIZE=ON -DBRELNOVA_READERS_ONLY=OFF -DBRELNOVA_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$ROOT/build-fuzz" -j "$JOBS" --target "$target"
bin=$(find "$ROOT/build-fuzz" -type f -name "$target" -perm -u+x | head -n 1)
corpus="$ROOT/build-fuzz/corpus/$target"
mkdir -p "$corpus"
seeds=()
[ -d "$ROOT/testdata/fuzz/$target" ] && seeds=("$ROOT/testdata/fuzz/$target")
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen "$bin" -max_total_time="$seconds" "$corpus" "${seeds[@]}"
