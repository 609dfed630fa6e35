#!/usr/bin/env bash
# The reliability runs: the program and its libraries built with clang and
# its thread-safety analysis, every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, the pipeline, interruption and parallel
# conversion tests under ThreadSanitizer, the fuzz targets for FUZZ_SECONDS
# each, the interruption soak, and kills at any moment in every mode
# (tests/kill_test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-6}
jobs=$(nproc)
step() { echo; echo "== $* ($(date +%T))"; }
# The sanitizer trees are built at -O1 with line tables only: every report
# still has its whole stack, inlined calls included, with files and lines,
# and the trees build in far less time than at -O2 with full debug
# information.
sanitizer_tree=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")

# sanitized_ctest TREE CTEST_ARGS...: runs the tests of TREE with every
# process writing its sanitizer reports to a file of its own under
# TREE/reports, so that a report of a worker, or of a run that a test kills
# or whose exit the test does not look at, fails the step as well.
sanitized_ctest() {
  local tree=$1 status=0; shift
  local reports=$PWD/$tree/reports
  rm -rf "$reports" && mkdir -p "$reports"
  ASAN_OPTIONS="log_path=$reports/asan ${ASAN_OPTIONS:-}" \
  UBSAN_OPTIONS="log_path=$reports/ubsan ${UBSAN_OPTIONS:-}" \
  TSAN_OPTIONS="log_path=$reports/tsan ${TSAN_OPTIONS:-}" \
    ctest --test-dir "$tree" --output-on-failure "$@" || status=$?
  if compgen -G "$reports/*" >/dev/null; then
    echo "sanitizer reports of $(ls "$reports" | wc -l) processes in $tree:"
    cat "$reports"/*
    status=1
  fi
  return "$status"
}

# clang, for the analysis and the fuzz targets, is among the build packages.
command -v clang++ >/dev/null || bash scripts/install-deps.sh

step "Clang: the program and its libraries, with the thread-safety analysis"
# Only the analysis and clang's warnings are wanted: no optimisation, no
# debug information, no tests.
CC=clang CXX=clang++ cmake -S . -B build-tsa -G Ninja -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS_RELEASE=-O0 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O0 -DNDEBUG" \
  -DNARRAVOX_THREAD_SAFETY=ON -DNARRAVOX_TESTS=OFF -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build build-tsa -j"$jobs" --target narravox eci lame_enc -- --quiet

step "AddressSanitizer + UndefinedBehaviorSanitizer: every test"
cmake -S . -B build-asan "${sanitizer_tree[@]}" -DNARRAVOX_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j"$jobs" -- --quiet
# The real documents that the first build fetched and converted serve here too.
NARRAVOX_DOCUMENTS_CACHE=$PWD/build/real-documents/cache sanitized_ctest build-asan -j"$jobs"

step "ThreadSanitizer: the pipeline, the interruptions and the parallel conversions"
cmake -S . -B build-tsan "${sanitizer_tree[@]}" -DNARRAVOX_SANITIZE=thread >/dev/null
cmake --build build-tsan -j"$jobs" --target narravox_unit_tests narravox_e2e_tests -- --quiet
# These tests mostly wait for the programs they run (and ThreadSanitizer
# holds every process a second at its exit): three at a time per core.
sanitized_ctest build-tsan -j"$((3 * jobs))" -R '^(PipelineTest|Resume|Parallel|FileRunners)\.'

step "Fuzzing, $fuzz_seconds s a target"
bash scripts/fuzz.sh "$fuzz_seconds"

step "Interruption soak"
bash tests/soak.sh build "${SOAK_KILLS:-12}" "${SOAK_INTERRUPTS:-6}"

step "Kills at any moment in every mode, the folders watched"
bash tests/kill_test.sh build "${KILLS_PER_MODE:-4}" "${REAL_KILLS:-10}"
