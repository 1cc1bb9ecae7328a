#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time from its seeds; any crash, sanitizer report or broken
# invariant fails the run.
#   run-fuzzer.sh FUZZER SECONDS WORK_DIR SEED_DIR...
set -euo pipefail
fuzzer=$1 seconds=$2 work=$3
shift 3
mkdir -p "$work/corpus" "$work/artifacts"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "$work/corpus" "$@"
