#!/usr/bin/env bash
# The program as a Linux user gets it, with the real engine and encoder:
#  1. installed with "cmake --install" into a prefix made read-only, run by an
#     ordinary user with a fresh HOME and no configuration file anywhere: it
#     converts a text, is interrupted with Ctrl-C, and "/R" finishes the job;
#  2. the Debian package of "cpack -G DEB", its dependencies found by
#     dpkg-shlibdeps, unpacked with "dpkg-deb -x": its program converts a text;
#  3. a full disk (a small tmpfs; mounting needs root) gives the Italian
#     reason on standard error and nothing of it on standard output.
# Usage: tests/install/run-install-tests.sh BUILD_DIR
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
T=$(mktemp -d /tmp/narravox-install-XXXXXX)
MOUNTED=""
cleanup() {
  [ -n "$MOUNTED" ] && umount "$MOUNTED" 2>/dev/null || true
  chmod -R u+w "$T" 2>/dev/null || true
  rm -rf "$T"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

# Every MP3 file under a folder decodes without an error.
decodes() {
  local n=0
  while IFS= read -r f; do
    mpg123 -q -t "$f" 2>"$T/mpg123.err" || fail "$f does not decode"
    [ -s "$T/mpg123.err" ] && fail "$f: $(cat "$T/mpg123.err")"
    n=$((n + 1))
  done < <(find "$1" -name '*.mp3' -type f | sort)
  [ "$n" -gt 0 ] || fail "no MP3 file in $1"
  echo "$n"
}

text() {  # n sentences of an Italian text
  local i
  for ((i = 1; i <= $1; i++)); do
    echo "Questa è la frase numero $i del libro, letta dalla sintesi vocale italiana."
  done
}

# --- 1. installed into a read-only prefix, run by an ordinary user ---------
PREFIX=$T/prefix
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
for f in bin/narravox lib/narravox/libeci.so lib/narravox/liblame_enc.so \
         share/man/man1/narravox.1 share/doc/narravox/README.md; do
  [ -f "$PREFIX/$f" ] || fail "not installed: $f"
done
[ -e "$PREFIX/bin/narravox.INI" ] && fail "a configuration file was installed"
MANWARN=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l -Tutf8 "$PREFIX/share/man/man1/narravox.1" 2>&1 >/dev/null)
[ -z "$MANWARN" ] || fail "manual page: $MANWARN"
chmod -R a-w "$PREFIX"
pass "cmake --install: program, libraries, manual page and README"

USER_NAME=nobody
GROUP_NAME=$(id -gn nobody)
HOME_DIR=$T/home
WORK=$T/work
mkdir -p "$HOME_DIR" "$WORK"
text 80 > "$WORK/libro.txt"
chown -R "$USER_NAME:$GROUP_NAME" "$HOME_DIR" "$WORK"
chmod 755 "$T"
as_user() {
  (cd "$WORK" && setpriv --reuid="$USER_NAME" --regid="$GROUP_NAME" --clear-groups \
     env -i HOME="$HOME_DIR" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@")
}
# A job of its own (set -m), so that Ctrl-C is not ignored as in a
# background job of a script, and reaches the program through its group.
set -m
as_user "$PREFIX/bin/narravox" /F=1 /VB=1 libro.txt >"$T/run1.out" 2>"$T/run1.err" &
pid=$!
set +m
for ((i = 0; i < 600; i++)); do
  [ -f "$WORK/libro/003.mp3" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
[ -f "$WORK/libro/003.mp3" ] || fail "no third file before the program ended: $(cat "$T/run1.err")"
kill -INT -- -"$pid"
set +e; wait "$pid"; rc=$?; set -e
[ "$rc" -eq 130 ] || fail "interrupted run ended with $rc, not 130"
grep -q "Interrotto dall'utente" "$T/run1.out" || fail "no interruption line"
INI=$HOME_DIR/.config/narravox/narravox.INI
DAT=$HOME_DIR/.local/state/narravox/narravox.dat
[ -f "$INI" ] || fail "no starter configuration file in ~/.config/narravox"
grep -q "^ECIDLL=$PREFIX/lib/narravox/libeci.so" "$INI" || fail "ECIDLL not recorded: $(cat "$INI")"
[ -f "$DAT" ] || fail "no RecoveryFile in ~/.local/state/narravox"
grep -q "libro.txt::" "$DAT" || fail "RecoveryFile without a checkpoint: $(cat "$DAT")"
done_before=$(decodes "$WORK/libro")
as_user "$PREFIX/bin/narravox" /R /VB=0 >"$T/run2.out" 2>"$T/run2.err" \
  || fail "/R failed: $(cat "$T/run2.err")"
[ -s "$T/run2.err" ] && fail "/R wrote errors: $(cat "$T/run2.err")"
[ -f "$DAT" ] && fail "the RecoveryFile is left after /R"
all=$(decodes "$WORK/libro")
[ "$all" -gt "$done_before" ] || fail "/R made no further file"
pass "ordinary user, read-only prefix, no configuration: $done_before files, Ctrl-C, /R: $all files that decode"

# --- 2. the Debian package ---------------------------------------------------
(cd "$BUILD" && cpack -G DEB >/dev/null) || fail "cpack -G DEB"
DEB=$(ls -t "$BUILD"/narravox_*.deb | head -1)
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for lib in libespeak-ng1 libmp3lame0 libsoxr0 libc6; do
  [[ "$DEPENDS" == *"$lib"* ]] || fail "Depends lacks $lib: $DEPENDS"
done
ROOT=$T/root
dpkg-deb -x "$DEB" "$ROOT"
[ -x "$ROOT/usr/bin/narravox" ] || fail "no /usr/bin/narravox in the package"
mkdir -p "$T/deb-home" "$T/deb-work"
text 20 > "$T/deb-work/articolo.txt"
(cd "$T/deb-work" && env -i HOME="$T/deb-home" PATH=/usr/bin:/bin \
   "$ROOT/usr/bin/narravox" /VB=0 /BR=96 /RS=22 articolo.txt) >"$T/deb.out" 2>"$T/deb.err" \
  || fail "the packaged program failed: $(cat "$T/deb.err")"
n=$(decodes "$T/deb-work/articolo")
pass "cpack -G DEB ($(basename "$DEB"), Depends: $DEPENDS), unpacked: $n file(s) at 96 kbit/s that decode"

# --- 3. a full disk ----------------------------------------------------------
FULL=$T/full
mkdir -p "$FULL"
if ! mount -t tmpfs -o size=64k tmpfs "$FULL" 2>"$T/mount.err"; then
  echo "SKIPPED: full disk test: mount not permitted ($(cat "$T/mount.err"))"
  exit 0
fi
MOUNTED=$FULL
mkdir -p "$T/full-home"
text 60 > "$T/libro-lungo.txt"
set +e
env -i HOME="$T/full-home" PATH=/usr/bin:/bin "$ROOT/usr/bin/narravox" /VB=1 /D="$FULL" \
  "$T/libro-lungo.txt" >"$T/full.out" 2>"$T/full.err"
rc=$?
set -e
[ "$rc" -eq 1 ] || fail "full disk: exit code $rc"
grep -q "^\* ERRORE: .*(codice 28: spazio insufficiente sul disco)" "$T/full.err" \
  || fail "full disk: no Italian reason on standard error: $(cat "$T/full.err")"
grep -q "ERRORE" "$T/full.out" && fail "full disk: the error is on standard output too"
pass "full disk: $(cat "$T/full.err")"
echo "install tests passed"
