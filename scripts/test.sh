#!/usr/bin/env bash
# Installs what is missing, builds Narravox (with the benchmark tools) and runs
# every test: the unit and end-to-end tests and the benchmark tools' tests,
# the installation and the Debian package (tests/install), the unit and
# end-to-end tests again under the sanitizers, the fuzz targets, the
# interruption soak, and the Windows builds with their tests under wine.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
bash scripts/build.sh -DNARRAVOX_BENCH=ON
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash tests/install/run-install-tests.sh build
bash scripts/reliability.sh
bash scripts/windows.sh
echo "all tests done in $(( $(date +%s) - start )) s"
