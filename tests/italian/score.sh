#!/usr/bin/env bash
# Scores how well the text that Narravox gives the speech engine matches a
# carefully written reference, sentence by sentence, as espeak-ng reads them:
# a sentence matches when `espeak-ng -v it -q -x` gives the same phonemes for
# both (whitespace aside).
#
#   tests/italian/score.sh [--raw] [--misses FILE] [--set FILE] [BUILD]
#
# BUILD is the program's build folder (default: build/ of this tree); it
# must hold narravox, libfake_eci.so and libfake_lame_enc.so. The program
# runs once over all the sentences, each in a text file of its own, with the
# fake engine and encoder, whose MP3 files hold exactly the text spoken.
# --raw scores the raw sentences themselves (no program), for comparison.
# --misses FILE writes the misses there instead of after the score.
# --set FILE scores another set (default: sentences.tsv beside this script).
# Exit code: 0 when the run worked (whatever the score), 2 on a failure.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
set_file=$here/sentences.tsv
build=$here/../../build
raw_mode=0
misses_file=
while [ $# -gt 0 ]; do
  case "$1" in
    --raw) raw_mode=1 ;;
    --misses) misses_file=${2:?--misses needs a file}; shift ;;
    --set) set_file=${2:?--set needs a file}; shift ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "score.sh: unknown option $1" >&2; exit 2 ;;
    *) build=$1 ;;
  esac
  shift
done

fail() { echo "score.sh: $*" >&2; exit 2; }
command -v espeak-ng >/dev/null || fail "espeak-ng is not installed"
command -v iconv >/dev/null || fail "iconv is not installed"
[ -r "$set_file" ] || fail "no sentence set $set_file"
build=$(cd "$build" 2>/dev/null && pwd) || fail "no build folder $build"

work=$(mktemp -d "${TMPDIR:-/tmp}/narravox-italian.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/txt" "$work/out"

# The set: a header line, then source, phenomena, raw, reference.
n=0
declare -a tags raws refs
while IFS=$'\t' read -r source phenomena raw ref; do
  [ "$source" = source ] && continue
  [ -n "$raw" ] && [ -n "$ref" ] || fail "$set_file: line $((n + 2)) lacks a column"
  n=$((n + 1))
  tags[n]=$phenomena raws[n]=$raw refs[n]=$ref
done <"$set_file"
[ "$n" -gt 0 ] || fail "$set_file holds no sentence"

name() { printf 's%03d' "$1"; }

# What the engine is given, one file per sentence: the program's output with
# the pauses (zero samples) dropped and line ends as spaces, in UTF-8.
if [ "$raw_mode" = 1 ]; then
  for i in $(seq "$n"); do printf '%s' "${raws[i]}" >"$work/out/$(name "$i").txt"; done
else
  for f in narravox libfake_eci.so libfake_lame_enc.so; do
    [ -e "$build/$f" ] || fail "$build has no $f"
  done
  cp "$build/narravox" "$work/bin/"
  printf '%s\r\n' '[Narravox]' "ECIDLL=$build/libfake_eci.so" "MP3DLL=$build/libfake_lame_enc.so" \
    "D=$work/out" TI=N PC=0 PT=0 CC=N VB=0 PP=N PA=1 I3=N IC=N CR=N >"$work/bin/narravox.INI"
  for i in $(seq "$n"); do
    printf '%s\n' "${raws[i]}" >"$work/txt/$(name "$i").txt"
    echo "$work/txt/$(name "$i").txt"
  done >"$work/list.lst"
  if ! "$work/bin/narravox" "@$work/list.lst" >"$work/run.log" 2>&1 </dev/null; then
    cat "$work/run.log" >&2
    fail "the program failed"
  fi
  for i in $(seq "$n"); do
    folder=$work/out/$(name "$i")
    compgen -G "$folder/*.mp3" >/dev/null || fail "no MP3 file for sentence $i"
    cat "$folder"/*.mp3 | tr -d '\000' | tr '\r\n' '  ' |
      iconv -c -f WINDOWS-1252 -t UTF-8 | sed 's/ *$//' >"$work/out/$(name "$i").txt"
  done
fi

phonemes() { espeak-ng -v it -q -x -f "$1" | tr -s '[:space:]' ' ' | sed 's/^ //; s/ $//'; }

declare -A total missed
matches=0
misses=$work/misses
: >"$misses"
for i in $(seq "$n"); do
  spoken=$work/out/$(name "$i").txt
  printf '%s' "${refs[i]}" >"$work/ref.txt"
  got=$(phonemes "$spoken")
  want=$(phonemes "$work/ref.txt")
  IFS=, read -ra these <<<"${tags[i]}"
  for t in "${these[@]}"; do total[$t]=$((${total[$t]:-0} + 1)); done
  if [ "$got" = "$want" ]; then
    matches=$((matches + 1))
  else
    for t in "${these[@]}"; do missed[$t]=$((${missed[$t]:-0} + 1)); done
    {
      echo "#$i [${tags[i]}]"
      echo "  raw:       ${raws[i]}"
      echo "  engine:    $(cat "$spoken")"
      echo "  reference: ${refs[i]}"
      echo "  engine phonemes:    $got"
      echo "  reference phonemes: $want"
    } >>"$misses"
  fi
done

if [ "$raw_mode" = 1 ]; then echo "raw sentences (no program):"; else echo "program: $build/narravox"; fi
echo "$matches of $n sentences match"
echo "misses by phenomenon (a sentence counts for each of its phenomena):"
for t in $(printf '%s\n' "${!total[@]}" | sort); do
  printf '  %-13s %3d of %3d\n' "$t" "${missed[$t]:-0}" "${total[$t]}"
done
if [ -n "$misses_file" ]; then
  cp "$misses" "$misses_file"
  echo "misses written to $misses_file"
else
  echo "--- misses"
  cat "$misses"
fi
