#!/usr/bin/env bash
# Checks score.sh on a set of three sentences, with and without the program:
#   tests/italian/score_test.sh [BUILD]   (BUILD as for score.sh)
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
work=$(mktemp -d "${TMPDIR:-/tmp}/narravox-score-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
has() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -qF -- "$2" "$1"; }

# 1 needs no change and has accented letters, which reach the engine in
# Windows-1252 and must come back as UTF-8; 2 is the same sentence with apostrophe accents; 3 has a
# reference that no program could give.
printf '%s\t%s\t%s\t%s\n' source phenomena raw reference \
  t:1 plain "La città è più bella così." "La città è più bella così." \
  t:2 apostrophe "La citta' e' piu' bella cosi'." "La città è più bella così." \
  t:3 plain,capitals "Il cane è qui." "Il gatto è qui." >"$work/set.tsv"

"$here/score.sh" --raw --set "$work/set.tsv" >"$work/raw.out" 2>&1
check "raw mode runs" test $? = 0
check "raw mode: the score" has "$work/raw.out" "1 of 3 sentences match"
check "raw mode: misses by phenomenon" \
  grep -qE '^  apostrophe +1 of +1$' "$work/raw.out"
check "raw mode: a sentence counts for each phenomenon" \
  grep -qE '^  plain +1 of +2$' "$work/raw.out"
check "raw mode: misses listed after the score" \
  grep -qE '^#2 \[apostrophe\]$' "$work/raw.out"
check "raw mode: a match is not listed" lacks "$work/raw.out" "#1 "

"$here/score.sh" --set "$work/set.tsv" --misses "$work/misses" "$build" >"$work/prog.out" 2>&1
check "program mode runs" test $? = 0
check "program mode: the accents come back from Windows-1252" lacks "$work/misses" "#1 "
check "program mode: the engine text of a miss" has "$work/misses" "engine:    Il cane è qui."
check "program mode: the phonemes of a miss" has "$work/misses" "reference phonemes: $(espeak-ng -v it -q -x "Il gatto è qui.")"
check "program mode: misses go to the file only" lacks "$work/prog.out" "--- misses"

"$here/score.sh" --set "$work/set.tsv" "$work/nowhere" >/dev/null 2>&1
check "a missing build folder fails" test $? = 2

[ "$failures" = 0 ] && echo "all passed" || echo "$failures failed"
[ "$failures" = 0 ]
