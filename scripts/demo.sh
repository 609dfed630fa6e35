#!/usr/bin/env bash
# Installs what is missing, builds Narravox and runs it on the sample text.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
./build/narravox '/?' || true
echo
./build/narravox /D=build/audio examples/benvenuto.txt
echo "Lista dei testi da convertire (file di ripristino): build/narravox.dat"
cat build/narravox.dat
