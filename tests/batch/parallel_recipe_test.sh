#!/usr/bin/env bash
# The GNU parallel recipe of the README, run as a user would run it: one
# text a job, two at once, a job log, retries; one job is killed outright
# in the middle of its text and its retry resumes it. Then the shared
# folder holds the tree of one run over all the texts, every text has one
# "ok" result line, and no state is left.
#   tests/batch/parallel_recipe_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
job=$here/../../examples/narravox-lavoro
command -v parallel >/dev/null || { echo "parallel is missing (scripts/install-deps.sh)"; exit 1; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

# An installed-like program: no configuration beside it, the user's in
# XDG_CONFIG_HOME naming the test engine and encoder.
mkdir bin config config/narravox testi condivisa riferimento
cp "$build/narravox" bin/narravox
printf '[Narravox]\r\nECIDLL=%s\r\nMP3DLL=%s\r\nPC=0\r\nF=1\r\nG=5\r\nIC=S\r\nI3=S\r\n' \
  "$build/libfake_eci.so" "$build/libfake_lame_enc.so" > config/narravox/narravox.INI
# Every start of the program is logged with its state folder.
cat > bin/narravox-registrato <<SH
#!/bin/sh
echo "\$XDG_STATE_HOME \$*" >> "$work/avvii.log"
exec "$work/bin/narravox" "\$@"
SH
chmod +x bin/narravox-registrato
export XDG_CONFIG_HOME=$work/config NARRAVOX=$work/bin/narravox-registrato
for i in 1 2 3 4 5 6; do
  n=$((i == 3 ? 200 : 10 * i))
  for k in $(seq "$n"); do echo "Testo $i, frase numero $k del libro."; done > "testi/libro$i.txt"
  echo "$work/testi/libro$i.txt" >> elenco.txt
done

# The reference: one run over every text.
XDG_STATE_HOME=$work/stato-rif bin/narravox /VB=0 /CC=N /D=riferimento/ @elenco.txt

# The recipe (README, "Molti libri, molte macchine").
recipe() {
  parallel -j2 --joblog lavori.log --retries 3 --resume-failed \
    "$job" "$work/condivisa" {} /VB=0 /RI="$work/condivisa/risultati.jsonl" :::: elenco.txt
}
export NARRAVOX_FAKE_ECI_FILL=64  # slow enough to be killed mid-text
recipe &
recipe_pid=$!
# libro3 makes files in two groups: kill its conversion once the first is there.
for _ in $(seq 600); do
  [ -e condivisa/libro3/001.mp3 ] && break
  sleep 0.05
done
victim=$(pgrep -f "^$work/bin/narravox .*libro3.txt" | head -1 || true)
[ -n "$victim" ] || { echo "FAIL: the conversion of libro3 was not seen"; exit 1; }
kill -KILL "$victim"
wait "$recipe_pid"
unset NARRAVOX_FAKE_ECI_FILL

fail() { echo "FAIL: $*"; exit 1; }
tree() { (cd "$1" && find . -type f ! -name '.narravox.lock' ! -name 'risultati.jsonl' \
            ! -path './.narravox-stato/*' | sort | xargs -d '\n' sha1sum); }
[ "$(tree condivisa)" = "$(tree riferimento)" ] || { diff <(tree condivisa) <(tree riferimento); fail "trees differ"; }
# The job log: six jobs, each ended with 0 (the log keeps a job's last try).
[ "$(awk -F'\t' 'NR > 1 && $7 == 0' lavori.log | wc -l)" = 6 ] || { cat lavori.log; fail "job log"; }
# libro3 was started twice: anew, then resumed from its state folder.
key=$(printf '%s' "$work/testi/libro3.txt" | sha1sum | cut -c1-16)
grep -q "^$work/condivisa/.narravox-stato/$key .*libro3.txt$" avvii.log || { cat avvii.log; fail "start"; }
grep -q "^$work/condivisa/.narravox-stato/$key .* /R$" avvii.log || { cat avvii.log; fail "no resume"; }
python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
lines = [json.loads(l) for l in open(work + "/condivisa/risultati.jsonl")]
texts = sorted(l["text"] for l in lines)
assert texts == sorted(f"{work}/testi/libro{i}.txt" for i in range(1, 7)), texts
for l in lines:
    assert l["status"] == "ok" and l["message"] == "" and l["seconds"] > 0, l
    assert l["folder"] == work + "/condivisa/" + l["text"].rsplit("/", 1)[1][:-4], l
made = sum(1 for g in ("libro301", "libro302") for f in os.listdir(f"{work}/riferimento/{g}")
           if f.endswith(".mp3") and f != "000.mp3")
assert {l["files"] for l in lines if l["text"].endswith("libro3.txt")} == {made}, (made, lines)
PY
[ -z "$(ls -A condivisa/.narravox-stato 2>/dev/null)" ] || { find condivisa/.narravox-stato; fail "state left"; }
# Started again with the job log, the recipe has nothing left to do.
recipe
[ "$(wc -l < condivisa/risultati.jsonl)" = 6 ] || fail "jobs ran again"
echo "parallel recipe: ok"
