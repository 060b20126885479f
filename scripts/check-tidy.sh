#!/bin/sh
# Runs clang-tidy with the checks of .clang-tidy over every source file of
# src/, tests/, bench/, fuzz/ and tools/ that the compile commands of a
# configured build name (fuzz/ only in a build configured with -DZV_FUZZ=ON);
# fails on any finding.
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
# The tests include the moc's output of their own files: build first.
if ! find "$build" -name '*.moc' -print -quit | grep -q .; then
  echo "check-tidy.sh: $build holds no generated files; build first: cmake --build $build" >&2
  exit 2
fi
# Our folders only: the moc's generated files in the build folder are Qt's.
ours="^$(pwd)/(src|tests|bench|fuzz|tools)/"
# The probe of the test core_links_no_widgets is meant not to compile.
probe="tests/support/CoreWidgetProbe\.cpp$"
"$runner" -p "$build" -j "$jobs" -quiet -header-filter="$ours" "^$(pwd)/(?!$probe)(src|tests|bench|fuzz|tools)/.*\.cpp$"
