#!/usr/bin/env bash
# The reliability runs: every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, the pipeline tests under ThreadSanitizer, the
# fuzz targets for FUZZ_SECONDS each, and the interruption soak.
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-30}
jobs=$(nproc)
step() { echo; echo "== $* ($(date +%T))"; }

step "AddressSanitizer + UndefinedBehaviorSanitizer: every test"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNARRAVOX_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j"$jobs" >/dev/null
ctest --test-dir build-asan --output-on-failure -j"$jobs"

step "ThreadSanitizer: the pipeline and the interruptions"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNARRAVOX_SANITIZE=thread >/dev/null
cmake --build build-tsan -j"$jobs" --target narravox_unit_tests narravox_e2e_tests >/dev/null
ctest --test-dir build-tsan --output-on-failure -j"$jobs" -R '^(PipelineTest|Resume)\.'

step "Fuzzing, $fuzz_seconds s a target"
bash scripts/fuzz.sh "$fuzz_seconds"

step "Interruption soak"
bash tests/soak.sh build "${SOAK_KILLS:-12}" "${SOAK_INTERRUPTS:-6}"
