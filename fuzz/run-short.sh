#!/bin/sh
# Runs every fuzz target of a ZV_FUZZ build for a short time from its seed
# corpus. Fails when any target finds a crash, a leak, undefined behaviour or
# a broken rule; the input that did it is kept in BUILD_DIR/fuzz/artifacts.
#
#   fuzz/run-short.sh BUILD_DIR [SECONDS_PER_TARGET]   (default 20)
set -u
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILD_DIR [SECONDS_PER_TARGET]" >&2
  exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=${2:-20}
seeds=$(cd "$(dirname "$0")/corpus" && pwd) || exit 2
artifacts=$build/fuzz/artifacts
mkdir -p "$artifacts"

# Inputs are capped a little above the largest real file of each kind.
max_len_of() {
  case $1 in
    fuzz_datafile|fuzz_catalogue|fuzz_protected|fuzz_exportxml|fuzz_keepassxml) echo 16384 ;;
    fuzz_settings|fuzz_csv) echo 4096 ;;
    *) echo 256 ;;
  esac
}

failed=""
for target in fuzz_datafile fuzz_settings fuzz_catalogue fuzz_fieldformats fuzz_protected fuzz_csv fuzz_exportxml fuzz_keepassxml; do
  program=$build/fuzz/$target
  if [ ! -x "$program" ]; then
    echo "$target: not built in $build" >&2
    failed="$failed $target"
    continue
  fi
  # New inputs go to the build folder; the seed corpus stays as committed.
  work=$build/fuzz/corpus/$target
  mkdir -p "$work"
  echo "== $target: $seconds s"
  if ! "$program" -max_total_time="$seconds" -max_len="$(max_len_of "$target")" \
      -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$target-" "$work" "$seeds/$target" \
      >"$build/fuzz/$target.log" 2>&1; then
    tail -n 60 "$build/fuzz/$target.log" >&2
    failed="$failed $target"
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/fuzz/$target.log"
  fi
done

if [ -n "$failed" ]; then
  echo "fuzzing failed:$failed (inputs in $artifacts)" >&2
  exit 1
fi
echo "fuzzing passed"
