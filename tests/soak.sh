#!/usr/bin/env bash
# Interruption soak: converts three books with the fake engine and encoder,
# ends the program at random moments (SIGKILL, then SIGINT), resumes with /R
# each time, and compares the final tree byte for byte with an uninterrupted
# run. After every SIGINT no partial file may remain: every file present must
# be one of the uninterrupted run's files.
#
#   tests/soak.sh [BUILD_DIR] [KILLS] [INTERRUPTS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
kills=${2:-20}
interrupts=${3:-10}
work=$(mktemp -d /tmp/narravox-soak-XXXXXX)
trap 'rm -rf "$work"' EXIT

prepare() {  # prepare FOLDER: a private program folder with the books
  mkdir -p "$1"
  cp "$build/narravox" "$1/"
  printf '[Narravox]\r\nECIDLL=%s\r\nMP3DLL=%s\r\nD=out\r\nF=1\r\nG=5\r\nIC=S\r\nI3=S\r\nCC=N\r\nVB=0\r\nP=NORMALE\r\n' \
    "$build/libfake_eci.so" "$build/libfake_lame_enc.so" > "$1/narravox.INI"
  for book in primo secondo terzo; do
    for i in $(seq 1 400); do
      echo "Questa e' la frase $i del libro $book, che si legge in un fiato."
    done > "$1/$book.txt"
  done
}

digests() {  # digests FOLDER: "path digest" of every output file
  (cd "$1" && find out -type f -print0 | sort -z | xargs -0 -r md5sum)
}

# The engine offers small buffers, so that a run lasts a few seconds.
export NARRAVOX_FAKE_ECI_FILL=64
start() {  # start FOLDER: the first run, or /R when a RecoveryFile is there
  if [ -f "$1/narravox.dat" ]; then args=(/R); else args=(primo.txt secondo.txt terzo.txt); fi
  (cd "$1" && exec ./narravox "${args[@]}" > "$1/console.txt" 2>&1) &
  pid=$!
}
# finish: waits for the run started last. One still going after two minutes
# is hung: it is killed and the soak fails.
finish() {
  if ! timeout 120 tail -s 0.1 --pid="$pid" -f /dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
    echo "soak: the program did not end within 120 s"
    exit 1
  fi
  wait "$pid"
}

prepare "$work/reference"
(cd "$work/reference" && timeout 120 ./narravox primo.txt secondo.txt terzo.txt) ||
  { echo "soak: the uninterrupted run failed or did not end within 120 s"; exit 1; }
reference=$(digests "$work/reference")
known=$(cut -d' ' -f1 <<< "$reference")

soak() {  # soak SIGNAL COUNT
  local signal=$1 count=$2 done_runs=0 ended=0
  prepare "$work/$signal"
  for ((n = 0; n < count; n++)); do
    start "$work/$signal"
    sleep "0.$(printf '%03d' $((RANDOM % 400 + 10)))"
    if kill -"$signal" "$pid" 2>/dev/null; then ended=$((ended + 1)); fi
    { finish || true; } 2>/dev/null
    if [ "$signal" = INT ]; then
      # Every file left must be complete: one of the reference's files.
      while read -r digest path; do
        if ! grep -qx "$digest" <<< "$known"; then
          echo "soak: partial file after SIGINT: $path"
          exit 1
        fi
      done < <(cd "$work/$signal" && find out -type f -print0 2>/dev/null | xargs -0 -r md5sum)
    fi
  done
  # Finish the job: /R until the RecoveryFile is gone.
  while [ -f "$work/$signal/narravox.dat" ] || [ ! -d "$work/$signal/out" ]; do
    start "$work/$signal"
    finish
    done_runs=$((done_runs + 1))
    [ "$done_runs" -lt 5 ] || { echo "soak: the conversion does not finish"; exit 1; }
  done
  if [ "$(digests "$work/$signal")" != "$reference" ]; then
    echo "soak: the tree after SIG$signal differs from the uninterrupted run"
    diff <(digests "$work/$signal") <(echo "$reference") | head -20
    exit 1
  fi
  echo "soak: SIG$signal $ended times during the run, final tree identical"
}

soak KILL "$kills"
soak INT "$interrupts"
echo "2 passed, 0 failed"
