#!/bin/sh
# Builds the fuzz targets with clang and libFuzzer and runs each of them for a
# short time from its seed corpus; fails on any crash, leak, undefined
# behaviour or broken rule.
#
#   sh scripts/fuzz-short.sh [BUILD_DIR] [SECONDS_PER_TARGET]   (default: build-fuzz 20)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-20}
# Debian's clang-14 package alone installs only the versioned name.
cxx=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$cxx" ]; then
  echo "fuzz-short.sh: clang++ not found (Debian: clang-14 libclang-rt-14-dev)" >&2
  exit 2
fi
cmake -S . -B "$build" -G Ninja -DZV_FUZZ=ON -DCMAKE_CXX_COMPILER="$cxx"
cmake --build "$build" --target fuzzers
sh fuzz/run-short.sh "$build" "$seconds"
