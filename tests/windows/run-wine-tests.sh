#!/usr/bin/env bash
# Runs the x86-64 Windows program under wine64: the set-up stops and errors,
# the RecoveryFile and "/R", the registry search, and conversions with the
# fake engine and encoder, which must give the same files as the Linux
# program of the same sources.
#
#   tests/windows/run-wine-tests.sh BUILD_DIR_WIN LINUX_BUILD_DIR
#
# BUILD_DIR_WIN holds narravox.exe, fake_eci.dll and fake_lame_enc.dll;
# LINUX_BUILD_DIR holds narravox, libfake_eci.so and libfake_lame_enc.so.
# The runs take place in a temporary folder, kept when a test fails.
# Wine runs in a prefix of its own under BUILD_DIR_WIN, in an Italian locale,
# so that the OEM code page is 850 and the ANSI code page 1252.
set -uo pipefail
WIN=$(cd "$1" && pwd) && LIN=$(cd "$2" && pwd) || exit 2
WINE=/usr/lib/wine/wine64
T=$(mktemp -d /tmp/narravox-wine-XXXXXX) || exit 2  # a path without dots, as names need
mkdir -p "$T/win" "$T/linux"
cp "$WIN/narravox.exe" "$T/win/" && cp "$LIN/narravox" "$T/linux/" || exit 2

export WINEPREFIX=$WIN/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
LOCALES=$WIN/wine-locale
[ -d "$LOCALES/it_IT.UTF-8" ] || { mkdir -p "$LOCALES" &&
  localedef -i it_IT -f UTF-8 "$LOCALES/it_IT.UTF-8"; } || exit 2
# A run still going after RUN_LIMIT seconds is hung: it is ended, and its
# checks fail instead of the script stopping there.
RUN_LIMIT=300
wine() { LOCPATH=$LOCALES LC_ALL=it_IT.UTF-8 timeout -k 10 "$RUN_LIMIT" "$WINE" "$@"; }
passed=0 failed=0
mkdir -p "$WINEPREFIX" && "${WINE%64}server" -p  # one wine server for every run below
trap '"${WINE%64}server" -k; [ "$failed" -ne 0 ] || rm -rf "$T"' EXIT

winpath() { local p=${1//\//\\}; echo "Z:$p"; }
W=$(winpath "$T/win")                  # the Windows program's folder
WL=$(winpath "$WIN")                   # where the fake DLLs are
BANNER=$'Narravox 1.06f - conversione di testi in file MP3 parlati\n\n'
error() { printf '%s* ERRORE: %s\n' "$BANNER" "$1"; }

check() {  # NAME EXPECTED ACTUAL, final line ends aside
  if [ "$(printf '%s' "$2")" == "$(printf '%s' "$3")" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $1"
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | head -20
  fi
}

# Runs a program in its folder; OUT is what it printed (CR removed from the
# Windows program's output), RC its exit code, RAW the bytes as written.
win() {
  (cd "$T/win" && wine narravox.exe "$@" <"$T/win/.in" >"$T/win/.out" 2>"$T/win/.err")
  RC=$?; RAW=$(od -An -c "$T/win/.out"); OUT=$(tr -d '\r' <"$T/win/.out"; echo .); OUT=${OUT%.}
}
lin() {  # a conversion as on Windows, where the engine is given the text in lower case
  local args=("${@//\\//}")
  [[ ${args[0]:-} != /VB=* ]] || args=(/MA=N "${args[@]}")
  (cd "$T/linux" && LC_ALL=C timeout -k 10 "$RUN_LIMIT" ./narravox "${args[@]}" </dev/null >"$T/linux/.out" 2>&1)
  RC=$?; OUT=$(cat "$T/linux/.out"; echo .); OUT=${OUT%.}
}
put() { printf "$2" >"$T/win/$1"; }     # NAME PRINTF-FORMAT: a file in the program's folder
: >"$T/win/.in"

# --- Stops before the configuration file ---------------------------------
win
check "no argument: CR LF lines" "$(printf '%s\r\n\r\n%s\r\n' "${BANNER%%$'\n'*}" \
  "Digitare NARRAVOX /? per visualizzare la sintassi del comando" | od -An -c)" "$RAW"
check "no argument: exit code" 1 "$RC"
win ""
check "empty argument" "${BANNER}Digitare NARRAVOX /? per visualizzare la sintassi del comando"$'\n' "$OUT"
win "/?"; help_win=$OUT rc_win=$RC
lin "/?"
# Linux writes the command as it is typed there.
check "help as on Linux" "${OUT//narravox /NARRAVOX }" "$help_win"
check "help: exit code" "1 1" "$rc_win $RC"

# --- Configuration file and options --------------------------------------
put a.txt 'testo'
win a.txt
check "missing configuration file" "$(error "Impossibile trovare il file \"$W\\narravox.INI\" (codice 2)")" "$OUT"
put narravox.INI ''
while IFS='|' read -r message args; do
  read -r -a argv <<<"$args"
  win "${argv[@]}"
  check "option error: $args" "$(error "$message")" "$OUT"
  check "option error: exit code" 1 "$RC"
done <<'EOF'
Parametro non valido y|/ECISETUP=x y
Parametro non valido /ecisetup=|/ecisetup=
Parametro non valido /ECISETUP=x|/L=IT /ECISETUP=x a.txt
Parametro non valido /X|/X
Parametro non valido /?|/VB=1 /?
Parametro non valido /F=0|/F=0 a.txt
Nessun file di testo specificato nella riga comandi|/TEST
Nessun file di testo specificato nella riga comandi|/L=IT /VB=3
EOF

# Configuration files with errors: the same report, line number included, on
# both systems; Linux also names the file and the problem.
for ini in '; commento\r\n[narravox]\r\n\r\nL=UK\r\n[Narravox]\r\n' \
           '[Narravox]\r\nF=16\r\nF=0\r\n' 'VB=1\nQUALCOSA\n' '\r\n\r\n\r\nX=1\r\n'; do
  put narravox.INI "$ini"; win a.txt; out_win=$OUT
  printf "$ini" >"$T/linux/narravox.INI"; lin a.txt
  check "configuration error names the file on Linux: $ini" yes \
    "$([[ $OUT == *"configurazione \"$T/linux/narravox.INI\", riga "[0-9]*": "* ]] && echo yes)"
  out_lin=$(printf '%s' "$OUT" | sed 's/configurazione "[^"]*", \(riga [0-9]*\): .*/configurazione, \1/')
  check "configuration error as on Linux: $ini" "$out_lin" "$out_win"
  check "configuration error names its line: $ini" yes "$([[ $out_win == *'riga '[0-9]* ]] && echo yes)"
done

# --- JobList and RecoveryFile ---------------------------------------------
# The fake engine fails as it speaks the first file: the RecoveryFile stays
# as the run wrote it before that file. An empty ECI.DLL in the current
# folder stops a run at the engine, before any file and any RecoveryFile.
printf '[Narravox]\r\nVB=1\r\nECIDLL=%s\\fake_eci.dll\r\nMP3DLL=%s\\fake_lame_enc.dll\r\n' \
  "$WL" "$WL" >"$T/win/narravox.INI"
put ECI.DLL ''
first() { NARRAVOX_FAKE_ECI_FAIL=eciSynchronize:1 win "$@"; }  # stops at the first file
mkdir -p "$T/win/t/d.txt" "$T/win/lists"
# Wine shows files whose name begins with a dot as hidden.
for f in a.txt b.txt t/c.txt t/B.TXT t/.nascosto.txt; do put "$f" 'x'; done
put lists/books.lst 'a\r\nt\\c.txt\n'
STOP=$(error "Impossibile caricare la libreria $W\\ECI.DLL, errore codice 0")
win /ECIDLL=ECI.DLL a.txt /VB=1
check "arguments after a name are names: the batch goes on" \
  "* ERRORE: Impossibile trovare il file \"/VB=1\" (codice 2)"$'\n'"$STOP" "$OUT"
recovery() {  # LAYOUT TEXT...: a RecoveryFile of the earlier form, without settings
  local layout=$1; shift
  printf 'ATTENZIONE!!! Non modificare questo file.\r\n%s\r\n' "$layout"
  [ $# -eq 0 ] || printf '%s\r\n' "$@"
}
settings() {  # the settings section that a run with the default settings writes
  printf '%s\r\n' '[IMPOSTAZIONI]' LINGUA=IT VOCE=0 VELOCITA=200 'TONALITA=*' VOLUME=100 \
    SAMPLE=11025 RESAMPLE=N BITRATE=48 ID3TAG=N TIPOTESTO=AUTO RIUNISCIGRUPPI=N \
    CARTELLEROCKBOX=N CLIPFILE=N IDENTIFICACARTELLA=N NOMEFILE= RIGAFRAMMENTA= PAUSATESTA=0 \
    PAUSACODA=500 TITOLO=S CAPITOLI=S NOTE=N FORMATO=MP3 PAUSAPARAGRAFO=S MAIUSCOLE=N NORMALIZZA=S \
    DIZIONARIO= \
    IMPRONTADIZIONARIO=
}
dat() { od -An -c "$T/win/narravox.dat"; }
while IFS='|' read -r args texts; do
  read -r -a argv <<<"$args"; expected=()
  for text in $texts; do expected+=("$W\\$text"); done
  expected[0]+='::0::1'
  rm -f "$T/win/narravox.dat"; first "${argv[@]}"
  check "job list $args: stops at the first file" 1 "$RC"
  check "job list $args: RecoveryFile" \
    "$({ recovery "$W\\::16384::0" "${expected[@]}"; settings; } | od -An -c)" "$(dat)"
done <<'EOF'
a b.txt|a.TXT b.txt
@lists\books|a.TXT t\c.txt
t\*.txt|t\B.TXT t\c.txt
T\?.TXT|T\B.TXT T\c.txt
EOF
rm -f "$T/win/narravox.dat"; first /D=out /F=4 /G=10 a.txt
check "destination and sizes" \
  "$({ recovery "$W\\OUT\\::4096::10" "$W\\a.txt::0::1"; settings; } | od -An -c)" "$(dat)"
rm -f "$T/win/narravox.dat"; win /ECIDLL=ECI.DLL a.txt
check "a run stopped before its first file leaves no RecoveryFile" "$STOP:no" \
  "${OUT%$'\n'}:$([ -e "$T/win/narravox.dat" ] && echo yes || echo no)"
rm -rf "$T/win/OUT/a"  # the folder of the run stopped at its first file
win 't\*.mp3'
check "pattern without match" "$(error "Impossibile trovare il file \"$W\\t\\*.mp3\"")" "$OUT"
win 'nessuna\*.txt'
check "pattern in a missing folder" "$(error "Impossibile trovare il file \"$W\\nessuna\\*.txt\"")" "$OUT"

# "/R" with good and damaged RecoveryFiles.
rm -f "$T/win/narravox.dat"; win /R
check "/R without RecoveryFile" "$(error 'Il file di ripristino non esiste')" "$OUT"
recovery 'Z:\altrove\::4096::10' "$W\\a.txt::12345::4" "$W\\b.txt" >"$T/win/narravox.dat"
saved=$(dat)
win /r /VB=2 /ECIDLL=ECI.DLL
check "/R resumes" "$STOP" "$OUT"
win /RIPRENDI /D=x /F=1 /ECIDLL=ECI.DLL
check "/R with layout options warns" \
  "***AVVISO: Alcune impostazioni sono state prelevate dal file di ripristino"$'\n'"$STOP" "$OUT"
check "/R rewrites nothing before a checkpoint" "$saved" "$(dat)"
win /R a.txt
check "/R beside a name" "$(error 'Il file di ripristino non esiste')" "$OUT"
for damaged in "$W\\::16384::0" "$W\\::16x::0|$W\\a.txt" "$W\\::16384::0|$W\\a.txt::12a::2" \
               "$W\\::1023::0|$W\\a.txt" "$W\\::16384::51|$W\\a.txt" "$W\\::16384::0|$W\\a.txt::100::0"; do
  IFS='|' read -r -a lines <<<"$damaged"
  recovery "${lines[@]}" >"$T/win/narravox.dat"; win /R
  check "damaged RecoveryFile: $damaged" "$(error 'Errore nel file di ripristino')" "$OUT"
done
recovery "$W\\::16384::0" "$W\\gone.txt::10::2" "$W\\a.txt" >"$T/win/narravox.dat"; win /R /VB=0
check "/R skips a text that is gone and goes on" \
  "1:* ERRORE: Impossibile trovare il file \"$W\\gone.txt\" (codice 2):yes" \
  "$RC:${OUT%$'\n'}:$([ -f "$T/win/a/001.mp3" ] && echo yes)"
rm -f "$T/win/narravox.dat"
mkdir "$T/win/narravox.dat"; win /CC=N /VB=0 a.txt
check "RecoveryFile that cannot be written: the system's reason" \
  "$(error "Cannot create file \"$W\\narravox.dat\". Accesso negato.")" "${OUT%$'\n'}"
check "RecoveryFile that cannot be written: no temporary file left" "" "$(ls "$T/win" | grep -i tmp)"
rmdir "$T/win/narravox.dat"
# Wine has no display here: the message box closes at once, and the console
# must stay empty.
put narravox.INI 'AF=S\r\n'; win /TEST /BAD=1
check "an error in a message box prints nothing" "1:" "$RC:$OUT"
rm -f "$T/win/ECI.DLL"

# --- Engine location: the set-up command and the registry -----------------
mkdir -p "$T/win/eng1" "$T/win/eng2"
put eng1/ECI.DLL ''; put eng2/ECI.DLL ''
touch -d '2020-01-01 12:00' "$T/win/eng1/ECI.DLL"
put narravox.INI '[Narravox]\r\necidll=VECCHIA\r\nECIDLL=ALTRA\r\n'
win /ECISETUP=eng1
check "/ECISETUP= with a folder" "${BANNER}Aggiornato il file NARRAVOX.INI"$'\n' "$OUT"
check "/ECISETUP= writes the first ECIDLL line" \
  "$(printf '[Narravox]\r\necidll=eng1\\ECI.DLL\r\nECIDLL=ALTRA\r\n' | od -An -c)" "$(od -An -c "$T/win/narravox.INI")"
reg() { wine reg "$@" >/dev/null 2>&1; }
KEY='HKLM\Software\Freedom Scientific'
reg delete "$KEY" /f
reg add "$KEY\\JAWS\\A" /v Target /d "$W\\eng1" /f
reg add "$KEY\\JAWS\\B" /v Target /t REG_EXPAND_SZ /d "$W\\eng2\\" /f
reg add "$KEY\\JAWS\\C" /v Target /d "$W\\vuota" /f
put narravox.INI '[Narravox]\r\nVB=1\r\n'
win a.txt
check "registry: the newest engine library" \
  "${BANNER}Aggiornato il file NARRAVOX.INI"$'\n'"* ERRORE: Impossibile caricare la libreria $W\\eng2\\ECI.DLL, errore codice 0"$'\n' "$OUT"
check "registry: the found library is stored" \
  "$(printf '[Narravox]\r\nVB=1\r\nECIDLL=%s\\eng2\\ECI.DLL\r\n' "$W" | od -An -c)" "$(od -An -c "$T/win/narravox.INI")"
reg delete "$KEY\\JAWS" /f
reg add "$KEY\\Eloquence\\A" /v Target /t REG_DWORD /d 1 /f
put narravox.INI '[Narravox]\r\n'
win a.txt
check "registry: a Target that is no string" "$(error "Invalid data type for 'Target'")" "$OUT"
reg delete "$KEY" /f
win a.txt
check "registry: no engine library" "$(error $'Impossibile trovare la DLL della sintesi vocale; digitare il comando\nNARRAVOX /ECISETUP=nomefile o NARRAVOX /ECISETUP=cartella per specificarne\nla posizione')" "$OUT"

# --- Conversions with the fake engine and encoder, against Linux -----------
for dir in win linux; do
  mkdir -p "$T/$dir/testi"
  python3 - "$T/$dir/testi" <<'EOF'
import sys
folder = sys.argv[1]
# A Windows text with accents, long enough for groups of files.
text = "".join("Questa \xe8 la frase numero %d del libro, perch\xe9 cos\xec va: citt\xe0.\r\n" % i
               for i in range(1, 120))
open(folder + "/Libro.txt", "wb").write(text.encode("cp1252") + b"FINE \xc0\xc9\xd8\x8a.\r\n")
# A DOS text: its letters and symbols in code page 850.
oem = bytes(range(0x80, 0xB0)) + bytes(range(0xD0, 0xD9)) + bytes(range(0xE0, 0xFE))
open(folder + "/dos.txt", "wb").write(b"Citt\x85 e caff\x8a.\r\n" + oem + b"\r\nUltima riga.\n")
EOF
done
printf '[Narravox]\r\nECIDLL=%s\\fake_eci.dll\r\nMP3DLL=%s\\fake_lame_enc.dll\r\nD=OUT\r\nPC=0\r\nP=NORMALE\r\nF=1\r\nG=5\r\nIC=S\r\nI3=S\r\n' \
  "$WL" "$WL" >"$T/win/narravox.INI"
printf '[Narravox]\r\nECIDLL=%s/libfake_eci.so\r\nMP3DLL=%s/libfake_lame_enc.so\r\nD=OUT\r\nPC=0\r\nP=NORMALE\r\nF=1\r\nG=5\r\nIC=S\r\nI3=S\r\n' \
  "$LIN" "$LIN" >"$T/linux/narravox.INI"
# Console lines without their progress prefix ("<elapsed> <percent>% <left>: "),
# with the program's folder left out and Windows separators as "/".
plain() { sed -e 's/^[^:]*% [^:]*: //' -e "s|$(printf '%s' "$2" | sed 's/[\\|]/\\&/g')||g" -e 's|\\|/|g' <<<"$1"; }
# Linux says the same in words ("Testo 1 di 2, "a.txt": 0 %", "File 1 di 8
# (001.mp3): 2 %, ..."), and sums the run up: its lines in the Windows forms.
words() {
  sed -e 's/^Testo [0-9]* di [0-9]*, "\(.*\)": [0-9]* %.*$/\1/' \
      -e 's/^File [0-9]* di [0-9]* (\([^)]*\)): [0-9]* %.*$/\U\1/' \
      -e '/^Testi convertiti: /d' -e '/^File MP3 creati: /d' -e '/^Tempo impiegato: /d' <<<"$1"
}
while IFS='|' read -r name args; do
  read -r -a argv <<<"$args"
  rm -f "$T/win/narravox.dat" "$T/linux/narravox.dat"  # no earlier run to keep aside
  win "${argv[@]}"; out_win=$(plain "$OUT" "$W\\"); rc_win=$RC
  lin "${argv[@]}"; out_lin=$(words "$(plain "$OUT" "$T/linux/")")
  check "conversion $name: exit codes" "0 0" "$rc_win $RC"
  check "conversion $name: console as on Linux" "$out_lin" "$out_win"
  dest=$(sed -n 's|.*/D=\([^ ]*\).*|\1|p' <<<" $args"); dest=${dest:-OUT}
  check "conversion $name: same files" "" "$(diff -r "$T/linux/$dest" "$T/win/$dest" 2>&1)"
  check "conversion $name: no RecoveryFile left" "" "$(ls "$T/win/narravox.dat" 2>/dev/null)"
done <<'EOF'
groups and clips|/VB=2 testi\*.txt
groups inside, RockBox clips, no titles|/VB=3 /D=OUT2 /RG=S /CR=MP3 /TI=N /T=D testi\dos.txt testi\Libro.txt
ID3v2 tags and file clips|/VB=0 /D=OUT5 /I3=V2 /CR=MP3 /CF=S testi\Libro.txt
EOF

# Without libspeex the Windows program writes its RockBox clips as MP3
# files, after a warning.
win /VB=0 /D=OUT4 /CR=S /T=D 'testi\dos.txt'
check "Speex clips: a warning on Windows" \
  "0:* AVVISO: clip Speex non disponibili in questa versione, clip RockBox in formato MP3"$'\n' "$RC:$OUT"
lin /VB=0 /D=OUT4 /CR=MP3 /T=D 'testi\dos.txt'
check "Speex clips: MP3 clips as with /CR=MP3" "" "$(diff -r "$T/linux/OUT4" "$T/win/OUT4" 2>&1)"

# The question before old MP3 files are deleted, answered on standard input:
# asked again until the answer is clear; the end of the input means no.
ASK="Vuoi cancellare i file MP3 contenuti nella cartella \"$W\\OUT\\dos\" (Si/No)?"
printf 'forse\r\nsi\r\n' >"$T/win/.in"; win /VB=0 /CC=S /T=D 'testi\dos.txt'
check "question: asked until answered" "0:$ASK"$'\n'"$ASK" "$RC:$OUT"
: >"$T/win/.in"; win /VB=0 /CC=S /T=D 'testi\dos.txt'
check "question: end of input is no answer: the text is skipped" \
  "1:$ASK"$'\n'"* ERRORE: il testo \"$W\\testi\\dos.txt\" viene saltato: i vecchi file MP3 della cartella \"$W\\OUT\\dos\" non sono stati cancellati" \
  "$RC:${OUT%$'\n'}"

# An interruption: Ctrl-C reaches the program as a console event. No partial
# MP3 file stays, the RecoveryFile does, and "/R" ends with the same files as
# an uninterrupted run.
for dir in win linux; do
  mkdir -p "$T/$dir/lunghi"
  for i in $(seq 1 20000); do echo "Questa e' la frase numero $i del libro lungo."; done \
    >"$T/$dir/lunghi/lungo.txt"
done
SHAPING=(/I3=S /TI=N /NF=P /PT=100 /V=2 /BR=32)  # restored by "/R" alone
lin /VB=0 /D=OUT3 /G=N "${SHAPING[@]}" 'lunghi\lungo.txt'
(cd "$T/win" && exec env LOCPATH="$LOCALES" LC_ALL=it_IT.UTF-8 "$WINE" narravox.exe /VB=1 \
  /D=OUT3 /G=N "${SHAPING[@]}" 'lunghi\lungo.txt' <.in >.out 2>.err) & pid=$!
for i in $(seq 1 400); do
  [ "$(ls "$T/win/OUT3/lungo" 2>/dev/null | wc -l)" -lt 30 ] || break; sleep 0.05
done
(cd "$T/win" && wine narravox.exe /VB=0 a.txt </dev/null >.out2 2>&1); RC2=$?
check "a second run during a conversion is refused" \
  "1:$(error "Un'altra conversione e' gia' in corso con il file di ripristino \"$W\\narravox.dat\"")" \
  "$RC2:$(tr -d '\r' <"$T/win/.out2")"
kill -INT "$pid"
timeout "$RUN_LIMIT" tail -s 0.1 --pid="$pid" -f /dev/null || kill -KILL "$pid"
wait "$pid"
check "interruption: the message" $'\b** Interrotto dall\'utente **\nPer riprendere: narravox /R' \
  "$(tr -d '\r' <"$T/win/.out" | tail -2)"
check "interruption: no partial file" "" \
  "$(cd "$T/win/OUT3/lungo" && for f in *; do cmp -s "$f" "$T/linux/OUT3/lungo/$f" || echo "$f"; done)"
check "interruption: the RecoveryFile stays" "yes" "$([ -f "$T/win/narravox.dat" ] && echo yes)"
win /R /VB=0
check "interruption: /R finishes" "0:" "$RC:$OUT"
check "interruption: /R gives the same files" "" "$(diff -r "$T/linux/OUT3" "$T/win/OUT3" 2>&1)"

# Documents: without libxml2 and libzip the Windows build reads Markdown and
# the chapters of plain texts, and refuses the other kinds with the reason.
printf 'PK\003\004\024\000\000\000\000\000mimetypeapplication/epub+zip' >"$T/win/libro.epub"
printf '# Primo\r\n\r\nUno.\r\n\r\n# Secondo\r\n\r\nDue.\r\n' >"$T/win/note.md"
: >"$T/win/.in"
win /ELENCO libro.epub note.md
check "documents: an EPUB is refused with the reason, a Markdown text listed" \
  "1:Testo 1 di 2: \"$W\\libro.epub\"
* ERRORE: il file \"$W\\libro.epub\" e' un documento EPUB, che questa versione del programma non legge: salvarlo prima come testo; viene saltato
Testo 2 di 2: \"$W\\note.md\"
  Tipo: Markdown
  Titolo: \"Primo\"
  Cartella: \"$W\\OUT\\note\"
  Capitoli: 2
    1. \"Primo\" (livello 1, 9 caratteri)
    2. \"Secondo\" (livello 1, 11 caratteri)
  File MP3: 1
    001.mp3: \"Primo\"
Testi elencati: 1; saltati: 1; file MP3 che la conversione creerebbe: 1
" "$RC:$OUT"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
