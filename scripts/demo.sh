#!/usr/bin/env bash
# Installs what is missing, builds Narravox and converts the sample text into
# MP3 files with the engine and encoder libraries built beside the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
out="$PWD/build/audio"
./build/narravox /D="$out" /CC=N examples/benvenuto.txt
echo
echo "I file MP3 sono nella cartella $out/benvenuto:"
ls -l "$out/benvenuto"
