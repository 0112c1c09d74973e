#!/usr/bin/env bash
# Runs each file reader harness for FUZZ_SECONDS seconds on its committed corpus. New inputs go to
# a scratch folder, never into fuzz/corpus; a crash, a broken property, a time-out or running out
# of memory fails the run and leaves the input in the scratch folder's artifacts.
# Usage: fuzz/run.sh BUILD_FOLDER [harness...]
set -uo pipefail
build=${1:?usage: fuzz/run.sh BUILD_FOLDER [harness...]}
shift
seconds=${FUZZ_SECONDS:-60}
root=$(cd "$(dirname "$0")" && pwd)
work="$build/fuzz-work"
harnesses=("$@")
[[ ${#harnesses[@]} -eq 0 ]] && harnesses=(treeparameterfile simulationfile demfile)

# Longest input per format: parameter files are a few hundred bytes, simulation seeds up to
# 13 KB, and the DEM harness reads grids of at most 17 × 17 points (about 6 KB).
max_len() {
  case $1 in
  treeparameterfile) echo 4096 ;;
  simulationfile) echo 16384 ;;
  demfile) echo 8192 ;;
  esac
}

failed=()
for h in "${harnesses[@]}"; do
  scratch="$work/$h"
  rm -rf "$scratch"
  mkdir -p "$scratch/new" "$scratch/artifacts"
  echo "== fuzz_$h for ${seconds} s"
  "$build/fuzz/fuzz_$h" -max_total_time="$seconds" -max_len="$(max_len "$h")" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$scratch/artifacts/" \
    "$scratch/new" "$root/corpus/$h" >"$scratch/log" 2>&1
  status=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$scratch/log"
  if [[ $status -ne 0 ]]; then
    echo "fuzz_$h FAILED (exit $status); log: $scratch/log, input: $scratch/artifacts/"
    grep -E 'property broken|ERROR|runtime error' "$scratch/log" | head -5
    failed+=("$h")
  fi
done
if [[ ${#failed[@]} -ne 0 ]]; then
  echo "fuzzing found problems in: ${failed[*]}"
  exit 1
fi
