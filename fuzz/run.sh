#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target for SECONDS each (default 30).
#   fuzz/run.sh            30 s per target (CI)
#   fuzz/run.sh 600        a longer run
# Each target starts from a scratch copy of fuzz/corpus/<target>, so the repository's seeds stay as they are.
# Findings (crash, leak, time-out, a broken promise) are kept in build/fuzz/findings/<target>/ with the log in
# build/fuzz/logs/<target>.log; the script exits non-zero if any target found one.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2

targets=(fuzz_receive fuzz_codec fuzz_version fuzz_kinematics)
logs=build/fuzz/logs
mkdir -p "$logs"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for t in "${targets[@]}"; do
  corpus="$scratch/$t"
  findings=build/fuzz/findings/$t
  cp -r "fuzz/corpus/$t" "$corpus"
  mkdir -p "$findings"
  # close_fd_mask=3: the codec's failure lines would flood the log; libFuzzer and the sanitizers keep
  # reporting on a copy of stderr.
  status=0
  "build/fuzz/fuzz/$t" "$corpus" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$findings/" >"$logs/$t.log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$t.log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$logs/$t.log" | tail -n 1)
  if [ "$status" -ne 0 ]; then
    echo "$t: FINDING (exit $status), see $logs/$t.log and $findings/"
    failed+=("$t")
  else
    echo "$t: ${runs:-?} runs, ${rate:-?} exec/s, no finding"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
