#!/bin/sh
# Runs clang-tidy with the checks of .clang-tidy over every source file of
# src/, using the compile commands of a configured build; fails on any
# finding.
#
#   sh scripts/check-tidy.sh [BUILD_DIR] [JOBS]   (default: build 2)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
jobs=${2:-2}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-tidy.sh: no $build/compile_commands.json; configure first: cmake -S . -B $build -G Ninja" >&2
  exit 2
fi
# Debian's clang-tidy-14 package alone installs only the versioned names.
runner=$(command -v run-clang-tidy || command -v run-clang-tidy-14 || true)
if [ -z "$runner" ]; then
  echo "check-tidy.sh: run-clang-tidy not found (Debian: clang-tidy-14)" >&2
  exit 2
fi
# The moc's generated files are Qt's, not ours.
"$runner" -p "$build" -j "$jobs" -quiet "$(pwd)/src/.*\.cpp$"
