#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build for SECONDS seconds each (default
# 30), one after the other, starting from its committed seeds with its
# dictionary. Fails when any run reports a crash, a leak, a timeout, an
# out-of-memory or a sanitizer finding; the input that caused it is kept in
# build/fuzz/findings. Prints executions and coverage of each run.
#   tests/fuzz/run-fuzzers.sh [SECONDS] [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(uci position book learn pgn)

# Absolute paths: the targets work in a directory of their own.
build="$PWD/build/fuzz"
source_dir="$PWD/tests/fuzz"
mkdir -p "$build/findings" "$build/logs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

failed=0
for target in "${targets[@]}"; do
  binary="$build/tests/fuzz/fuzz_$target"
  if [ ! -x "$binary" ]; then
    echo "fuzz $target: no $binary (cmake --workflow --preset fuzz builds it)"
    failed=1
    continue
  fi
  # Each run starts from the seeds alone, so that it does not depend on
  # earlier runs; what it learns is kept beside the log.
  corpus="$build/corpus/$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$source_dir/corpus/$target/"* "$corpus/"
  options=(-max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -max_len=4096
           -print_final_stats=1 -artifact_prefix="$build/findings/$target-")
  [ -f "$source_dir/dict/$target.dict" ] && options+=(-dict="$source_dir/dict/$target.dict")
  log="$build/logs/$target.log"
  nice -n 19 "$binary" "${options[@]}" "$corpus" >"$log" 2>&1
  status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -E '^#[0-9]+.*(DONE|REDUCE|NEW|pulse|INITED)' "$log" | tail -1 |
             sed -n 's/.*cov: \([0-9]*\) ft: \([0-9]*\).*/edges (cov) \1, features (ft) \2/p')
  if [ $status -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|fuzz target:' "$log"; then
    echo "fuzz $target: FAILED (exit $status) after ${executions:-?} executions; log $log:"
    grep -E 'ERROR:|runtime error:|fuzz target:|SUMMARY:|Test unit written' "$log" | head -20
    failed=1
  else
    echo "fuzz $target: ${seconds} s, ${executions:-?} executions, ${coverage:-no coverage line}"
  fi
done
exit $failed
