#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for SECONDS seconds, two at a
# time, starting from the seed corpora in tests/fuzz/corpus.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNARRAVOX_FUZZ=ON -DNARRAVOX_TESTS=OFF -DNARRAVOX_PLUGINS=OFF \
  -DNARRAVOX_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
targets=(parse_setting config_file recovery_file text_loading fragments resume_point reading
         user_dictionary epub html)
# Only the targets: the program itself is not run here.
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null
run() {  # run TARGET: prints the target's executions and findings
  local target=$1 log=build-fuzz/$1.log
  mkdir -p "build-fuzz/corpus/$target"
  if ./build-fuzz/fuzz_"$target" -max_total_time="$seconds" -close_fd_mask=1 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/$target-" "build-fuzz/corpus/$target" \
      "tests/fuzz/corpus/$target" > "$log" 2>&1; then
    echo "fuzz $target: $(grep -o 'number_of_executed_units: [0-9]*' "$log" | cut -d' ' -f2) runs, nothing found"
  else
    echo "fuzz $target: FAILED"; grep -E 'ERROR|invariant|SUMMARY' "$log" | head -5
    return 1
  fi
}
failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" & first=$!
  run "${targets[i+1]}" & second=$!
  wait "$first" || failed=$((failed + 1))
  wait "$second" || failed=$((failed + 1))
done
echo "$(( ${#targets[@]} - failed )) passed, $failed failed"
[ "$failed" -eq 0 ]
