#!/usr/bin/env bash
# Kill test: a conversion ended by SIGKILL at any moment never leaves an
# incomplete output file visible, and "/R" then finishes with exactly the
# files of an uninterrupted run.
#
# Every mode converts the same texts once without interruption (the
# reference), then in a folder of its own starts the conversion (or "/R"
# when a RecoveryFile is there) and kills it at random moments spread over
# the whole run, grouping and clips at the end included. A poller reads every
# NNN.mp3, 000.mp3 and .talk file under out/ the whole time: each file it
# manages to read must be one of the reference's files. After the kills "/R"
# finishes the job and the tree must equal the reference byte for byte. In
# the one-stream modes a symbolic link standing at the name of a file that
# "/R" makes again must be replaced, never written through.
#
#   tests/kill_test.sh BUILD_DIR [KILLS_PER_MODE] [REAL_KILLS]
#
# KILLS_PER_MODE (default 4) kills for each mode with the fake engine and
# encoder; REAL_KILLS (default 10) kills shared by /PA=1 and /PA=2 with the
# real libraries. NARRAVOX_KILL_SEED=n repeats the moments of an earlier run.
set -uo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [KILLS_PER_MODE] [REAL_KILLS]" >&2; exit 2; }
build=$(cd "$1" && pwd) || exit 2
kills=${2:-4}
real_kills=${3:-10}
[[ "$kills$real_kills" =~ ^[0-9]+$ ]] || { echo "kill_test: the counts must be numbers" >&2; exit 2; }
[ -x "$build/narravox" ] || { echo "kill_test: $build/narravox is missing" >&2; exit 2; }
for tool in python3 setsid md5sum timeout ps; do
  command -v "$tool" >/dev/null || { echo "kill_test: $tool is needed" >&2; exit 2; }
done
work=$(mktemp -d /tmp/narravox-kill-XXXXXX)
pid="" poller=""
cleanup() {
  [ -z "$poller" ] || kill "$poller" 2>/dev/null
  [ -z "$pid" ] || kill -KILL -- "-$pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
seed=${NARRAVOX_KILL_SEED:-$(( (RANDOM << 15) | RANDOM ))}
RANDOM=$seed
echo "kill_test: $build, seed $seed"

# The poller: lists the output files under FOLDER/out again and again and
# reads each one; on SIGTERM it writes every (digest, size, file) it saw, in
# the order first seen. Links are the test's own and are not followed.
cat > "$work/poll.py" <<'EOF'
import hashlib, os, re, signal, sys, time
folder, report = sys.argv[1], sys.argv[2]
root = os.path.join(folder, 'out')
wanted = re.compile(r'^(\d{3}\.mp3|.*\.talk)$')
seen, running = {}, [True]
signal.signal(signal.SIGTERM, lambda *_: running.__setitem__(0, False))
passes = 0
while running[0]:
    for where, _, names in os.walk(root):
        for name in names:
            if not wanted.match(name):
                continue
            path = os.path.join(where, name)
            try:
                if os.path.islink(path):
                    continue
                with open(path, 'rb') as f:
                    data = f.read()
            except OSError:  # gone between the listing and the reading
                continue
            key = (hashlib.md5(data).hexdigest(), len(data), os.path.relpath(path, folder))
            if key not in seen:
                seen[key] = len(seen)
    passes += 1
    if passes == 1:
        open(report + '.ready', 'w').close()
    time.sleep(0.001)
with open(report + '.tmp', 'w') as f:
    for key in sorted(seen, key=seen.get):
        f.write('%s %d %s\n' % key)
os.rename(report + '.tmp', report)
EOF

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# --- Program folders -------------------------------------------------------

fake_texts() {  # fake_texts FOLDER: a text of 7 fragments (two groups), one of 2
  local i
  for i in $(seq 1 100); do
    echo "Questa e' la frase $i del primo libro, che si legge in un fiato."
  done > "$1/primo.txt"
  for i in $(seq 1 40); do echo "Il secondo libro dice la frase $i, breve e chiara."; done \
    > "$1/secondo.txt"
}
real_texts() {  # real_texts FOLDER: the same layout, shorter for espeak-ng
  local i
  for i in $(seq 1 100); do
    echo "La frase numero $i parla del mare, e la citta' ascolta."
  done > "$1/primo.txt"
  for i in $(seq 1 30); do echo "La frase $i parla dei monti alti."; done > "$1/secondo.txt"
}

# prepare FOLDER: a private program folder with the libraries, texts and
# options of the current mode ($engine, $encoder, $texts, $options). The
# options go into narravox.INI, so that "/R" runs with them too.
prepare() {
  mkdir -p "$1"
  cp "$build/narravox" "$1/"
  {
    printf '[Narravox]\r\nECIDLL=%s\r\nMP3DLL=%s\r\nD=out\r\nCC=N\r\nVB=0\r\nP=NORMALE\r\n' \
      "$engine" "$encoder"
    local option
    for option in $options; do printf '%s\r\n' "${option#/}"; done
  } > "$1/narravox.INI"
  "$texts" "$1"
}

# --- Runs ------------------------------------------------------------------

# start FOLDER: the conversion, or "/R" when a RecoveryFile is there, in the
# background in a process group of its own (workers included).
start() {
  local args=(primo.txt secondo.txt)
  [ ! -f "$1/narravox.dat" ] || args=(/R)
  echo "--- ${args[*]}" >> "$1/console.txt"
  (cd "$1" && exec setsid ./narravox "${args[@]}" >> "$1/console.txt" 2>&1) &
  pid=$!
  started=$(now_ms)
}
running() {  # running: the run started last is still going (not a zombie)
  local state
  state=$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null) && [ "$state" != Z ]
}
# finish: waits for the run started last (sets rc and took, in ms). A run
# still going after a minute is hung: its processes are killed.
finish() {
  if ! timeout 60 tail -s 0.02 --pid="$pid" -f /dev/null; then
    kill -KILL -- "-$pid" 2>/dev/null
    problem "a run did not end within 60 s and was killed"
  fi
  wait "$pid" 2>/dev/null
  rc=$?
  took=$(( $(now_ms) - started ))
  reap
} 2>/dev/null  # not the shell's word on a killed run
# reap: waits until no process of the run's group is left (the workers end
# with the program; their zombies are the system's to collect); leftovers
# after 5 s are killed and reported.
reap() {
  local i
  for ((i = 0; i < 250; i++)); do
    ps -eo pgid=,stat= | awk -v group="$pid" '$1 == group && $2 !~ /^Z/ { found = 1 }
      END { exit !found }' || { pid=""; return; }
    sleep 0.02
  done
  kill -KILL -- "-$pid" 2>/dev/null
  problem "processes of the run were still there 5 s after it ended"
  pid=""
}
# complete FOLDER: "/R" (or a new run when the killed one left no
# RecoveryFile) until the conversion ends well, at most 5 times.
complete() {
  local tries
  for ((tries = 1; ; tries++)); do
    start "$1"
    finish
    if [ "$rc" -eq 0 ] && [ ! -f "$1/narravox.dat" ]; then return 0; fi
    if [ "$tries" -ge 5 ]; then
      problem "the conversion does not finish: exit code $rc after $tries runs" \
        "$(tail -n 5 "$1/console.txt")"
      return 1
    fi
  done
}

# --- Checks ----------------------------------------------------------------

problem() {  # problem LINE...: one fault of the current mode
  local line
  for line in "$@"; do faults+=("$line"); done
}

stop_poller() {
  kill "$poller" 2>/dev/null
  wait "$poller" 2>/dev/null
  poller=""
}
watch() {  # watch FOLDER: the poller on FOLDER/out, once it has looked
  rm -f "$1/seen.txt" "$1/seen.txt.ready"
  python3 "$work/poll.py" "$1" "$1/seen.txt" &
  poller=$!
  local i
  for ((i = 0; i < 500; i++)); do [ ! -f "$1/seen.txt.ready" ] || break; sleep 0.01; done
}
unwatch() {  # unwatch FOLDER WHEN: stops the poller and checks what it saw
  stop_poller
  [ -f "$1/seen.txt" ] || { problem "the poller left no report"; return; }
  unknown "$1/seen.txt" "$2"
}

# unknown LIST WHEN: the lines "digest size file" of LIST whose digest no
# file of the reference has become faults.
unknown() {
  local line
  while IFS= read -r line; do problem "$line"; done < <(
    awk -v when="$2" 'NR == FNR { known[$1] = 1; next }
      !($1 in known) && ++count <= 4 {
        printf "%s: %s, %s bytes, md5 %s: not a file of the uninterrupted run\n", when, $3, $2, $1 }
      END { if (count > 4) printf "%s: %d more such files\n", when, count - 4 }' "$work/known" "$1")
}

visible() {  # visible FOLDER: "digest size file" of the output files there now
  (cd "$1" && find out \( -name '[0-9][0-9][0-9].mp3' -o -name '*.talk' \) -type f \
      -printf '%s %p\n' 2>/dev/null |
    while read -r size file; do
      sum=$(md5sum < "$file" 2>/dev/null) && echo "${sum%% *} $size $file"
    done)
}

listing() {  # listing FOLDER: every entry under out/, files with size and digest
  (cd "$1" && find out ! -type d -printf '%y %p\n' | sort |
    while read -r kind file; do
      if [ "$kind" = f ]; then echo "$(md5sum < "$file" | cut -d' ' -f1) $(stat -c %s "$file") $file"
      else echo "$kind $file"; fi
    done)
}

same_tree() {  # same_tree FOLDER WHEN: the tree of FOLDER is the reference's
  if ! diff -r --no-dereference "$work/reference/out" "$1/out" > /dev/null 2>&1; then
    problem "$2: the tree differs from the uninterrupted run (< reference, > after /R):"
    local line
    while IFS= read -r line; do problem "  $line"; done \
      < <(diff <(listing "$work/reference") <(listing "$1") | grep '^[<>]' | head -12)
  fi
}

# --- Modes -----------------------------------------------------------------

# kill_mode KILLS ONE_STREAM: the reference, KILLS kills with "/R" and the
# comparison, for the options in $options; one line of result.
kill_mode() {
  local count=$1 one_stream=$2 folder=$work/killed delay ended=0
  local spent=0 attempts=0 moments="" t
  faults=()
  mode_start=$(now_ms)
  rm -rf "$work/reference" "$folder"
  prepare "$work/reference"
  watch "$work/reference"
  start "$work/reference"
  finish
  t=$took
  if [[ "$options" == *"/CR=S"* ]] && grep -q "clip Speex non disponibili" "$work/reference/console.txt"; then
    stop_poller
    echo "SKIP  $label: this build has no Speex clips (it warns and writes MP3 clips)"
    skipped=$((skipped + 1))
    return
  fi
  if [ "$rc" -ne 0 ]; then
    unwatch "$work/reference" "reference"
    problem "the uninterrupted run ended with exit code $rc" "$(tail -n 5 "$work/reference/console.txt")"
    report
    return
  fi
  (cd "$work/reference" && find out -type f -print0 | xargs -0 md5sum | cut -d' ' -f1 | sort -u) \
    > "$work/known"
  { [ -d "$work/reference/out/primo02" ] && [ -d "$work/reference/out/secondo" ]; } ||
    problem "the uninterrupted run made no group folders: out/ holds $(cd "$work/reference/out" && echo *)"
  # Files seen while the uninterrupted run wrote them count too: a kill at
  # that moment would leave them so.
  unwatch "$work/reference" "during the uninterrupted run"

  # The k-th kill falls in the k-th of COUNT equal slices of the reference's
  # duration, counted over the runs since the conversion began.
  prepare "$folder"
  watch "$folder"
  while [ "$ended" -lt "$count" ] && [ "$attempts" -lt $((2 * count + 2)) ]; do
    attempts=$((attempts + 1))
    delay=$(( t * ended / count + RANDOM % (t / count + 1) - spent ))
    [ "$delay" -ge 20 ] || delay=$((20 + RANDOM % 80))
    start "$folder"
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -KILL "$pid" 2>/dev/null
    finish
    if [ "$rc" -eq 137 ]; then
      ended=$((ended + 1))
      spent=$((spent + delay))
      moments+=" $((100 * spent / t))%"
      unknown <(visible "$folder") "after kill $ended ($((100 * spent / t))% of the run)"
    else  # it ended by itself: the next run starts the conversion again
      [ "$rc" -eq 0 ] || problem "a run ended with exit code $rc" "$(tail -n 5 "$folder/console.txt")"
      spent=0
    fi
  done
  complete "$folder"
  unwatch "$folder" "while killed and resumed"
  same_tree "$folder" "after the kills"
  [ "$ended" -ge "$count" ] || problem "only $ended of $count kills fell during a run"

  [ "$one_stream" = no ] || link_case "$work/linked"
  report "$ended kills at$moments of a ${t} ms run"
}

# link_case FOLDER: the run is killed at file 2 and, once resumed, at file 6
# of the first text; the RecoveryFile of the first kill is put back, so that
# "/R" makes the files from its track on again, and the first of them that
# is finished is replaced by a link to a file outside out/.
link_case() {
  local folder=$1 track victim i
  rm -rf "$folder"
  prepare "$folder"
  printf 'fuori da out: da non toccare\n' > "$folder/outside.mp3"
  local outside
  outside=$(md5sum < "$folder/outside.mp3")
  for i in 002 006; do
    start "$folder"
    while [ ! -f "$folder/out/primo/$i.mp3" ] && running; do sleep 0.005; done
    kill -KILL "$pid" 2>/dev/null
    finish
    [ "$rc" -eq 137 ] || { problem "link case: the run ended before out/primo/$i.mp3 appeared"; return; }
    [ "$i" = 006 ] || cp "$folder/narravox.dat" "$folder/first.dat" 2>/dev/null ||
      { problem "link case: no RecoveryFile after the kill at file 2"; return; }
  done
  cp "$folder/first.dat" "$folder/narravox.dat"
  track=$(sed -n 3p "$folder/narravox.dat" | tr -d '\r')
  track=${track##*::}
  [[ "$track" =~ ^[0-9]+$ ]] || { problem "link case: unexpected RecoveryFile line \"$track\""; return; }
  for ((i = track; i <= 5; i++)); do
    victim=out/primo/$(printf '%03d' "$i").mp3
    [ -f "$folder/$victim" ] && grep -qx "$(md5sum < "$folder/$victim" | cut -d' ' -f1)" "$work/known" &&
      break
    victim=""
  done
  [ -n "$victim" ] || { problem "link case: no finished file from track $track on"; return; }
  ln -sf "$folder/outside.mp3" "$folder/$victim"
  complete "$folder" || return
  [ "$(md5sum < "$folder/outside.mp3")" = "$outside" ] ||
    problem "link case: /R wrote through the link at $victim into the file outside out/" \
      "  (now $(stat -c %s "$folder/outside.mp3") bytes, md5 $(md5sum < "$folder/outside.mp3" | cut -d' ' -f1))"
  local links
  links=$(cd "$folder" && find out -type l)
  [ -z "$links" ] || problem "link case: still a link after /R: $links"
  same_tree "$folder" "link case"
}

passed=0 failed=0 skipped=0
report() {  # report [SUMMARY]: the mode's line, and its faults
  local seconds=$(( ($(now_ms) - mode_start + 500) / 1000 ))
  if [ "${#faults[@]}" -eq 0 ]; then
    echo "PASS  $label: ${1:-}, final tree identical (${seconds} s)"
    passed=$((passed + 1))
  else
    echo "FAIL  $label (${seconds} s${1:+; $1}):"
    local line
    for line in "${faults[@]}"; do echo "      $line"; done
    failed=$((failed + 1))
  fi
}

# The fake engine offers small buffers, so that a run lasts a few seconds.
export NARRAVOX_FAKE_ECI_FILL=${NARRAVOX_FAKE_ECI_FILL:-32}
engine=$build/libfake_eci.so encoder=$build/libfake_lame_enc.so texts=fake_texts
common="/F=1 /G=5"
for mode in "/PA=1 /I3=S|yes" "/PA=2 /I3=S|no" "/RS=S /IC=S /I3=V2|yes" "/IC=S /PA=2|no" \
            "/CR=MP3 /CF=S /PA=1|yes" "/CR=S /CF=S /PA=2 /I3=S|no"; do
  label=${mode%|*}
  options="$common $label"
  kill_mode "$kills" "${mode#*|}"
done

engine=$build/libeci.so encoder=$build/liblame_enc.so texts=real_texts
for parallel in 1 2; do
  label="real libraries /PA=$parallel"
  options="$common /IC=S /I3=S /V=2 /BR=32 /PA=$parallel"
  if [ ! -f "$engine" ] || [ ! -f "$encoder" ]; then
    echo "SKIP  $label: $engine or $encoder is missing"
    skipped=$((skipped + 1))
    continue
  fi
  kill_mode $(( (real_kills + 2 - parallel) / 2 )) no
done

echo "$passed passed, $failed failed$([ "$skipped" -eq 0 ] || echo " ($skipped skipped)")"
[ "$failed" -eq 0 ]
