#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite under them: a memory error, a leak or undefined
# behaviour fails the test it happens in.
#
#   sh scripts/check-sanitizers.sh [BUILD_DIR]   (default: build-asan)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build-asan}
cmake -S . -B "$build" -G Ninja -DZV_SANITIZE=ON
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure
