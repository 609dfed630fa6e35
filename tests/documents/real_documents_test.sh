#!/usr/bin/env bash
# The document readers on real documents that nobody here wrote: Italian
# manuals from Debian's packages, as shipped (HTML pages, an EPUB book) and
# as a user would turn them into other formats (pandoc: DOCX, ODT, EPUB;
# w3m: plain text).
#
#   tests/documents/real_documents_test.sh <build-dir>
#
# For every input it checks that
#   1. /ELENCO lists the chapters that the document's own table of contents
#      has, as another reader sees it (pandoc's headings of the source, the
#      EPUB's nav document or NCX), with the same titles and levels, and the
#      book's title, author and language;
#   2. a conversion with the fake engine and encoder makes the files the
#      listing announced and gives the engine no markup (tags, attributes,
#      entities, style sheets, scripts), and about as much text as w3m shows
#      of the same pages;
# and, once, that a conversion with the real engine and encoder of a small
# book writes the ID3v2 tags and the playlist that the listing promised;
# and that DAISY books made of them pass the book checker
# (tests/daisy), one heading for the title and one per chapter of the
# document's own table of contents, their ncc:totalTime within 0.1 s of the
# MPEG frames that ffprobe reads in their files.
#
# The packages are fetched with apt-get download into <build-dir>/real-documents
# and kept there for the next run.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -x "$1/narravox" ]; then
  echo "usage: $0 <build-dir>   (the folder that holds narravox and its libraries)" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd)
# NARRAVOX_DOCUMENTS_CACHE may name another build's cache, whose packages and
# converted documents are then used as they are.
CACHE=${NARRAVOX_DOCUMENTS_CACHE:-$BUILD/real-documents/cache}
WORK=$BUILD/real-documents/work
PY=/usr/bin/python3
START=$SECONDS
failures=0
checks=0

pass() { echo "PASS: $*"; checks=$((checks + 1)); }
fail() { echo "FAIL: $*"; checks=$((checks + 1)); failures=$((failures + 1)); }
# Runs a check of the helper, which prints its own PASS/FAIL lines; counts it.
check() {
  local out rc=0
  out=$("$PY" "$WORK/check.py" "$@") || rc=$?
  [ -n "$out" ] && echo "$out"
  checks=$((checks + $(grep -c -E '^(PASS|FAIL):' <<<"$out" || true)))
  failures=$((failures + $(grep -c '^FAIL:' <<<"$out" || true)))
  [ $rc -le 1 ] || fail "the checker stopped with code $rc on: $*"
}
finish() {
  echo
  echo "Tempo: $((SECONDS - START)) s"
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ] && exit 0
  exit 1
}

for tool in pandoc w3m ffprobe; do
  command -v "$tool" >/dev/null || { fail "$tool is not installed (scripts/install-deps.sh installs it)"; finish; }
done
"$PY" -c 'import mutagen.id3' 2>/dev/null || { fail "$PY has no mutagen (package python3-mutagen)"; finish; }
for lib in libfake_eci.so libfake_lame_enc.so libeci.so liblame_enc.so; do
  [ -f "$BUILD/$lib" ] || { fail "$BUILD/$lib is missing: build everything first"; finish; }
done

# ---------------------------------------------------------------------------
# The Debian packages, unpacked once.
mkdir -p "$CACHE/debs"
updated=0
fetch() {
  local pkg=$1 deb
  [ -f "$CACHE/$pkg/.unpacked" ] && return 0
  if ! ls "$CACHE/debs/${pkg}"_*.deb >/dev/null 2>&1; then
    if ! (cd "$CACHE/debs" && apt-get download "$pkg") >"$CACHE/debs/$pkg.log" 2>&1; then
      if [ "$(id -u)" -eq 0 ] && [ $updated -eq 0 ]; then
        updated=1
        apt-get update -qq >/dev/null 2>&1 || true
        (cd "$CACHE/debs" && apt-get download "$pkg") >"$CACHE/debs/$pkg.log" 2>&1 || true
      fi
    fi
  fi
  deb=$(ls "$CACHE/debs/${pkg}"_*.deb 2>/dev/null | head -1 || true)
  if [ -z "$deb" ]; then
    fail "the Debian package $pkg cannot be downloaded: $(tail -1 "$CACHE/debs/$pkg.log" 2>/dev/null)"
    return 1
  fi
  rm -rf "$CACHE/$pkg"
  dpkg -x "$deb" "$CACHE/$pkg" && touch "$CACHE/$pkg/.unpacked"
}
fetched=1
for pkg in maint-guide-it developers-reference-it live-manual-epub; do
  fetch "$pkg" || fetched=0
done
[ $fetched -eq 1 ] || finish
GUIDE=$CACHE/maint-guide-it/usr/share/doc/maint-guide-it/html
DEVREF=$CACHE/developers-reference-it/usr/share/developers-reference/it
LIVE=$CACHE/live-manual-epub/usr/share/doc/live-manual/epub/live-manual.it.epub
for f in "$GUIDE/dreq.it.html" "$DEVREF/new-maintainer.html" "$LIVE"; do
  [ -f "$f" ] || { fail "the package no longer has $f"; finish; }
done

rm -rf "$WORK"
mkdir -p "$WORK/in" "$WORK/ref" "$WORK/list" "$WORK/log" "$WORK/home"

# ---------------------------------------------------------------------------
# The checker: references from other readers, and comparisons.
cat >"$WORK/check.py" <<'PYTHON'
import difflib, glob, json, os, re, subprocess, sys, zipfile
import xml.etree.ElementTree as ET

def blanks(s):
    return ' '.join(s.split())

# --- pandoc's headings -------------------------------------------------------
def inline_text(inlines):
    out = []
    for x in inlines:
        t, c = x['t'], x.get('c')
        if t == 'Str': out.append(c)
        elif t in ('Space', 'SoftBreak', 'LineBreak'): out.append(' ')
        elif t in ('Code', 'Math'): out.append(c[1])
        elif t in ('Emph', 'Strong', 'Strikeout', 'Superscript', 'Subscript', 'SmallCaps', 'Underline'):
            out.append(inline_text(c))
        elif t == 'Link':
            # A permalink beside a heading ("¶") is the page's navigation.
            if 'headerlink' not in c[0][1]: out.append(inline_text(c[1]))
        elif t in ('Span', 'Image', 'Cite'): out.append(inline_text(c[1]))
        elif t == 'Quoted': out.append('"' + inline_text(c[1]) + '"')
    return ''.join(out)

def hidden(attr):
    # What the page marks as its menus, its search box or not shown.
    keys = dict(attr[2])
    return keys.get('role') in ('navigation', 'search') or 'display: none' in keys.get('style', '')

def headers(blocks, acc):
    for b in blocks:
        t, c = b['t'], b.get('c')
        if t == 'Header': acc.append((c[0], blanks(inline_text(c[2]))))
        elif t == 'Div' and not hidden(c[0]): headers(c[1], acc)
        elif t == 'BlockQuote': headers(c, acc)

def ref_pandoc(out, title, author, lang, *sources):
    doc = json.loads(subprocess.run(['pandoc', '-f', 'html', '-t', 'json', *sources],
                                    check=True, capture_output=True).stdout)
    acc = []
    headers(doc['blocks'], acc)
    write_ref(out, 'pandoc -t json', acc, title, author, lang)

def write_ref(out, source, chapters, title='', author='', lang=''):
    with open(out, 'w') as f:
        json.dump({'source': source, 'chapters': chapters, 'title': title, 'author': author,
                   'lang': lang}, f, ensure_ascii=False)

# --- an EPUB's own table of contents ------------------------------------------
OPF = '{http://www.idpf.org/2007/opf}'
DC = '{http://purl.org/dc/elements/1.1/}'
NCX = '{http://www.daisy.org/z3986/2005/ncx/}'
XHTML = '{http://www.w3.org/1999/xhtml}'
OPS = '{http://www.idpf.org/2007/ops}'

def package(z):
    container = ET.fromstring(z.read('META-INF/container.xml'))
    path = next(e.get('full-path') for e in container.iter() if e.tag.endswith('rootfile'))
    return path, ET.fromstring(z.read(path))

def ref_epub(out, epub):
    z = zipfile.ZipFile(epub)
    opf_path, opf = package(z)
    base = os.path.dirname(opf_path)
    meta = lambda tag: blanks(next((e.text or '' for e in opf.iter(DC + tag)), ''))
    items = {i.get('id'): i for i in opf.iter(OPF + 'item')}
    nav = next((i for i in items.values() if 'nav' in (i.get('properties') or '').split()), None)
    chapters = []
    if nav is not None:
        source = 'nav ' + nav.get('href')
        root = ET.fromstring(z.read(os.path.join(base, nav.get('href'))))
        toc = next(n for n in root.iter(XHTML + 'nav') if n.get(OPS + 'type') == 'toc')
        def walk(ol, depth):
            for li in ol.findall(XHTML + 'li'):
                label = li.find(XHTML + 'a')
                if label is None: label = li.find(XHTML + 'span')
                chapters.append((depth, blanks(''.join(label.itertext()))))
                sub = li.find(XHTML + 'ol')
                if sub is not None: walk(sub, depth + 1)
        walk(toc.find(XHTML + 'ol'), 1)
    else:
        ncx_id = opf.find(OPF + 'spine').get('toc')
        href = items[ncx_id].get('href')
        source = 'NCX ' + href
        root = ET.fromstring(z.read(os.path.join(base, href)))
        def walk(e, depth):
            for p in e.findall(NCX + 'navPoint'):
                chapters.append((depth, blanks(''.join(p.find(NCX + 'navLabel').itertext()))))
                walk(p, depth + 1)
        walk(root.find(NCX + 'navMap'), 1)
    write_ref(out, source, chapters, meta('title'), meta('creator'), meta('language'))

def spine_files(epub, folder):
    """Extracts the spine's documents, each once, in reading order, and names them."""
    z = zipfile.ZipFile(epub)
    opf_path, opf = package(z)
    base = os.path.dirname(opf_path)
    items = {i.get('id'): i for i in opf.iter(OPF + 'item')}
    seen = []
    for ref in opf.find(OPF + 'spine').iter(OPF + 'itemref'):
        name = os.path.normpath(os.path.join(base, items[ref.get('idref')].get('href').split('#')[0]))
        if name not in seen: seen.append(name)
    for name in seen:
        z.extract(name, folder)
        print(os.path.join(folder, name))

# --- the program's listing ----------------------------------------------------
def listing(path):
    text = open(path, encoding='utf-8', errors='replace').read()
    field = lambda name: (re.search(r'^  %s: "(.*)"$' % name, text, re.M) or [None, ''])[1]
    lang = (re.search(r'^  Lingua: (.*)$', text, re.M) or [None, ''])[1]
    chapters = [(int(m[1]), blanks(m[0]))
                for m in re.findall(r'^    \d+\. "(.*)" \(livello (\d+), \d+ caratteri\)$', text, re.M)]
    count = re.search(r'^  Capitoli: (\d+)$', text, re.M)
    files = re.findall(r'^    (\d{3}\.mp3)(?:: "(.*)")?$', text, re.M)
    nfiles = re.search(r'^  File MP3: (\d+)$', text, re.M)
    return {'title': field('Titolo'), 'author': field('Autore'), 'lang': lang,
            'count': int(count[1]) if count else -1, 'chapters': chapters,
            'files': files, 'nfiles': int(nfiles[1]) if nfiles else -1}

def compare_chapters(name, listing_path, ref_path):
    ref = json.load(open(ref_path))
    got = listing(listing_path)
    want = [tuple(c) for c in ref['chapters']]
    ok = True
    if got['count'] != len(got['chapters']):
        print('FAIL: %s: the listing says %d chapters and lists %d' % (name, got['count'], len(got['chapters'])))
        ok = False
    titles_got = [t for _, t in got['chapters']]
    titles_want = [t for _, t in want]
    if titles_got == titles_want:
        levels = [(i + 1, g, w) for i, (g, w) in enumerate(zip(got['chapters'], want)) if g[0] != w[0]]
        if levels:
            print('FAIL: %s: %d chapters with the titles of the %s, but %d levels differ: %s' % (
                name, len(want), ref['source'], len(levels),
                '; '.join('%d. "%s" level %d, expected %d' % (i, g[1], g[0], w[0]) for i, g, w in levels[:6])))
            ok = False
        else:
            print('PASS: %s: %d chapters, titles and levels as in the %s (first "%s", last "%s")' % (
                name, len(want), ref['source'], titles_want[0] if want else '', titles_want[-1] if want else ''))
    else:
        print('FAIL: %s: %d chapters, expected %d (%s); differences:' % (
            name, len(titles_got), len(titles_want), ref['source']))
        shown = 0
        for op, a1, a2, b1, b2 in difflib.SequenceMatcher(None, titles_got, titles_want, autojunk=False).get_opcodes():
            if op == 'equal': continue
            shown += 1
            if shown > 8:
                print('      ...'); break
            if op == 'delete':
                print('      extra chapters %d-%d: %s' % (a1 + 1, a2, ' | '.join(titles_got[a1:min(a2, a1 + 4)]) + (' ...' if a2 - a1 > 4 else '')))
            elif op == 'insert':
                print('      missing before chapter %d: %s' % (a1 + 1, ' | '.join(titles_want[b1:min(b2, b1 + 4)]) + (' ...' if b2 - b1 > 4 else '')))
            else:
                for i, j in list(zip(range(a1, a2), range(b1, b2)))[:4]:
                    print('      chapter %d: "%s", expected "%s"' % (i + 1, titles_got[i], titles_want[j]))
                if a2 - a1 != b2 - b1:
                    print('      (%d chapters there instead of %d)' % (a2 - a1, b2 - b1))
        if len(titles_got) <= 15 and len(titles_want) <= 15:
            print('      listed:   ' + ' | '.join(titles_got))
            print('      expected: ' + ' | '.join(titles_want))
        ok = False
    for key, label in (('title', 'title'), ('author', 'author'), ('lang', 'language')):
        if ref[key] and blanks(got[key]) != ref[key]:
            print('FAIL: %s: %s "%s", expected "%s" (%s)' % (name, label, got[key], ref[key], ref['source']))
            ok = False
    return ok

def chapters_found(name, listing_path, ref_path):
    got = listing(listing_path)
    top = [t for level, t in json.load(open(ref_path))['chapters'] if level == 1]
    found = [t for _, t in got['chapters']]
    print('%s: %s: %d chapter headings found in the plain text, the HTML has %d top-level headings; found: %s' % (
        'PASS' if found or not len(top) > 1 else 'FAIL', name, len(found), len(top),
        ' | '.join(found[:12]) + (' ...' if len(found) > 12 else '')))

# --- what the engine was given ------------------------------------------------
def engine_text(log):
    parts = []
    for line in open(log, 'rb'):
        if not line.startswith(b'eciAddText "'): continue
        body = line[len(b'eciAddText "'):line.rindex(b'" -> ')]
        body = re.sub(rb'\\(x[0-9a-fA-F]{2}|.)', lambda m: {b'r': b'\r', b'n': b'\n', b't': b'\t'}.get(
            m[1], bytes([int(m[1][1:], 16)]) if m[1][:1] == b'x' else m[1]), body)
        # Each call's annotations ("`p900") end with the call.
        parts.append(re.sub(rb'`[A-Za-z]+[-+]?\d*', b' ', body))
    raw = b''.join(parts)
    try: return raw.decode('utf-8')
    except UnicodeDecodeError: return raw.decode('cp1252', errors='replace')

MARKUP = ['<', '>', 'href', 'class=', '.css', 'div', 'span', 'script', '&amp;', '&nbsp;']

def occurrences(token, text):
    if token.isalpha(): return len(re.findall(r'(?i)\b%s\b' % token, text))
    return text.lower().count(token)

def spoken(name, log, reference, listing_path, folder):
    text = engine_text(log)
    open(log + '.txt', 'w').write(text)
    ref = open(reference, encoding='utf-8', errors='replace').read()
    got = listing(listing_path)
    made = sorted(os.path.basename(f) for f in glob.glob(os.path.join(folder, '*.mp3')))
    announced = [f for f, _ in got['files']]
    if made != announced or len(made) != got['nfiles']:
        print('FAIL: %s: the conversion made %d MP3 files, the listing announced %d (%s)' % (
            name, len(made), got['nfiles'], ' '.join(sorted(set(made) ^ set(announced))[:6])))
    words, ref_words = len(text.split()), len(ref.split())
    ratio = words / ref_words if ref_words else 0
    leaks = []
    counts = []
    for token in MARKUP:
        n, r = occurrences(token, text), occurrences(token, ref)
        counts.append('%s %d/%d' % (token, n, r))
        # A book read twice says everything twice: what counts is more markup
        # than its share of the text. Some tokens are words of the manuals too
        # ("gli script"): those may come a little more often, as the text's
        # headings and captions are read where w3m shows them once.
        allowed = max(1.0, ratio) * (1.2 if token.isalpha() or ratio > 1.5 else 1.0)
        if n > r * allowed:
            at = [m.start() for m in re.finditer(re.escape(token) if not token.isalpha() else r'(?i)\b%s\b' % token, text)]
            leaks.append('"%s" %d times (w3m shows %d), e.g. "%s"' % (
                token, n, r, blanks(text[max(0, at[0] - 40):at[0] + 40]) if at else ''))
    chars = len(''.join(text.split()))
    ref_chars = len(''.join(ref.split()))
    size = 'engine text %d words, %d characters; w3m %d words, %d characters (ratio %.2f)' % (
        words, chars, ref_words, ref_chars, ratio)
    if leaks:
        print('FAIL: %s: markup reached the engine: %s' % (name, '; '.join(leaks)))
    else:
        print('PASS: %s: no markup reached the engine (engine/w3m: %s)' % (name, ', '.join(counts)))
    if 0.5 <= ratio <= 1.5:
        print('PASS: %s: %s' % (name, size))
    else:
        print('FAIL: %s: %s: not the same amount of text' % (name, size))

# --- the real engine's files ----------------------------------------------------
def tags(name, listing_path, folder, book):
    import mutagen.id3
    got = listing(listing_path)
    files = got['files']
    total = len(files)
    ok = True
    durations = []
    if got['title'] != book['title'] or got['author'] != book['author']:
        print('FAIL: %s: the listing gives the book "%s" by "%s", the document says "%s" by "%s"' % (
            name, got['title'], got['author'], book['title'], book['author'])); ok = False
    for n, (file, title) in enumerate(files, 1):
        path = os.path.join(folder, file)
        if not os.path.exists(path):
            print('FAIL: %s: %s is missing' % (name, file)); ok = False; continue
        want = {'title': title, 'album': got['title'], 'artist': got['author'], 'track': '%d/%d' % (n, total)}
        id3 = mutagen.id3.ID3(path)
        frames = {'title': 'TIT2', 'album': 'TALB', 'artist': 'TPE1', 'track': 'TRCK'}
        read = {k: str(id3[f]) if f in id3 else None for k, f in frames.items()}
        probe = json.loads(subprocess.run(['ffprobe', '-v', 'error', '-show_entries',
                                           'format=duration:format_tags=title,album,artist,track',
                                           '-of', 'json', path], check=True, capture_output=True).stdout)
        ff = {k: probe['format'].get('tags', {}).get(k) for k in want}
        durations.append(float(probe['format']['duration']))
        for reader, values in (('mutagen', read), ('ffprobe', ff)):
            wrong = ['%s "%s", expected "%s"' % (k, values[k], v) for k, v in want.items() if values[k] != v]
            if wrong:
                print('FAIL: %s: %s reads in %s: %s' % (name, reader, file, '; '.join(wrong))); ok = False
        print('      %s %5.1f s  TIT2 "%s"  TALB "%s"  TPE1 "%s"  TRCK %s' % (
            file, durations[-1], read['title'], read['album'], read['artist'], read['track']))
    if ok:
        print('PASS: %s: %d files, ID3v2 read back by mutagen and ffprobe as the listing announced' % (name, total))
    playlists = glob.glob(os.path.join(folder, '*.m3u8'))
    if len(playlists) != 1:
        print('FAIL: %s: %d playlists in %s' % (name, len(playlists), folder)); return
    entries = re.findall(r'^#EXTINF:(-?\d+(?:\.\d+)?),(.*)\r?\n(.+?)\r?$',
                         open(playlists[0], encoding='utf-8').read(), re.M)
    want = [(title, file) for file, title in files]
    if [(t, f) for _, t, f in entries] != want:
        print('FAIL: %s: the playlist lists %s, expected %s' % (name, [(t, f) for _, t, f in entries], want))
    run = subprocess.run(['ffprobe', '-v', 'error', '-show_entries', 'format=duration', '-of', 'csv=p=0',
                          playlists[0]], capture_output=True, text=True)
    try: length = float(run.stdout.strip())
    except ValueError:
        print('FAIL: %s: ffprobe cannot open %s: %s' % (name, os.path.basename(playlists[0]), run.stderr.strip()))
        return
    total_s = sum(durations)
    print('%s: %s: the playlist %s lasts %.1f s, its files %.1f s together (%s)' % (
        'PASS' if abs(length - total_s) <= len(durations) else 'FAIL', name, os.path.basename(playlists[0]),
        length, total_s, ' + '.join('%.1f' % d for d in durations)))

# --- DAISY books ------------------------------------------------------------------
def daisy(name, folder, ref_path, check_out, probe):
    """The checker's summary against the reference's chapters, and (probe "ffprobe")
    ncc:totalTime against the frames that ffprobe reads in every MP3 file."""
    ref = json.load(open(ref_path))
    summary = open(check_out).read().strip().splitlines()[-1]
    headings = int(re.search(r'headings (\d+)', summary)[1])
    total = float(re.search(r'totalTime ([\d.]+) s', summary)[1])
    want = 1 + len(ref['chapters'])
    print('%s: %s: %d headings, the title and the %d chapters of the %s' % (
        'PASS' if headings == want else 'FAIL', name, headings, len(ref['chapters']), ref['source']))
    if probe != 'ffprobe': return
    decoded = 0.0
    files = sorted(glob.glob(os.path.join(folder, '*.mp3')))
    for path in files:
        probe = json.loads(subprocess.run(
            ['ffprobe', '-v', 'error', '-count_packets', '-select_streams', 'a:0', '-show_entries',
             'stream=nb_read_packets,sample_rate', '-of', 'json', path], check=True, capture_output=True).stdout)
        stream = probe['streams'][0]
        rate = int(stream['sample_rate'])
        decoded += int(stream['nb_read_packets']) * (576 if rate < 32000 else 1152) / rate
    print('%s: %s: ncc:totalTime %.3f s, the MPEG frames that ffprobe reads in its %d files %.3f s' % (
        'PASS' if abs(total - decoded) < 0.1 else 'FAIL', name, total, len(files), decoded))

def main(command, args):
    if command == 'ref-pandoc': ref_pandoc(*args)
    elif command == 'ref-epub': ref_epub(*args)
    elif command == 'spine-files': spine_files(*args)
    elif command == 'chapters': compare_chapters(*args)
    elif command == 'found': chapters_found(*args)
    elif command == 'spoken': spoken(*args)
    elif command == 'daisy': daisy(*args)
    elif command == 'tags':
        tags(args[0], args[1], args[2], json.load(open(args[3])))
    elif command == 'repack':
        # The same book with "mimetype" as its first entry, stored.
        src = zipfile.ZipFile(args[0])
        with zipfile.ZipFile(args[1], 'w') as out:
            out.writestr(zipfile.ZipInfo('mimetype'), src.read('mimetype'), compress_type=zipfile.ZIP_STORED)
            for i in src.infolist():
                if i.filename != 'mimetype':
                    out.writestr(i, src.read(i.filename), compress_type=zipfile.ZIP_DEFLATED)

if __name__ == '__main__':
    try:
        main(sys.argv[1], sys.argv[2:])
    except Exception:
        import traceback
        traceback.print_exc()
        sys.exit(3)
PYTHON

# ---------------------------------------------------------------------------
# The inputs.
BOOK="Guida per il nuovo Maintainer"
AUTHOR="Josip Rodin"
PAGES=()
for p in start first modify dreq dother build checkit update upload advanced; do
  PAGES+=("$GUIDE/$p.it.html")
done
# What pandoc and w3m make of the pages, made once and kept with the packages.
MADE=$CACHE/made
if [ ! -f "$MADE/.done" ]; then
  mkdir -p "$MADE"
  for f in docx odt epub; do
    pandoc -f html "${PAGES[@]}" --resource-path="$GUIDE" -M lang=it -M title="$BOOK" -M author="$AUTHOR" \
      -o "$MADE/guida.$f" 2>>"$WORK/log/pandoc.log"
  done
  pandoc -f html "$GUIDE/upload.it.html" --resource-path="$GUIDE" -M lang=it -M title="$BOOK" -M author="$AUTHOR" \
    -o "$MADE/caricamento.epub" 2>>"$WORK/log/pandoc.log"
  for page in "${PAGES[@]}"; do w3m -dump -T text/html -O UTF-8 "$page"; done >"$MADE/guida.txt"
  touch "$MADE/.done"
fi
cp "$MADE"/guida.docx "$MADE"/guida.odt "$MADE"/guida.epub "$MADE"/caricamento.epub "$MADE"/guida.txt "$WORK/in/"
cp "$GUIDE/dreq.it.html" "$WORK/in/dreq.it.html"
cp "$DEVREF/new-maintainer.html" "$WORK/in/new-maintainer.html"
cp "$LIVE" "$WORK/in/live-manual.it.epub"
check repack "$LIVE" "$WORK/in/live-manual.it-riordinato.epub"

# What other readers see: headings, tables of contents, text.
check ref-pandoc "$WORK/ref/dreq.json" "" "" "" "$GUIDE/dreq.it.html"
check ref-pandoc "$WORK/ref/new-maintainer.json" "" "" "it" "$DEVREF/new-maintainer.html"
check ref-pandoc "$WORK/ref/guida.json" "$BOOK" "$AUTHOR" "it" "${PAGES[@]}"
check ref-epub "$WORK/ref/guida-epub.json" "$WORK/in/guida.epub"
check ref-epub "$WORK/ref/live.json" "$LIVE"
w3m -dump -T text/html -O UTF-8 "$GUIDE/dreq.it.html" >"$WORK/ref/dreq.txt"
w3m -dump -T text/html -O UTF-8 "$DEVREF/new-maintainer.html" >"$WORK/ref/new-maintainer.txt"
mkdir -p "$WORK/ref/live"
"$PY" "$WORK/check.py" spine-files "$LIVE" "$WORK/ref/live" |
  while read -r page; do w3m -dump -T text/html -O UTF-8 "$page"; done >"$WORK/ref/live.txt"

# Each input: name, file, reference of its chapters, w3m's text of it.
INPUTS=(
  "HTML page (maint-guide-it dreq.it.html)|dreq.it.html|dreq.json|dreq.txt"
  "HTML page (developers-reference-it new-maintainer.html)|new-maintainer.html|new-maintainer.json|new-maintainer.txt"
  "DOCX (pandoc, maint-guide-it)|guida.docx|guida.json|../in/guida.txt"
  "ODT (pandoc, maint-guide-it)|guida.odt|guida.json|../in/guida.txt"
  "EPUB (pandoc, maint-guide-it)|guida.epub|guida-epub.json|../in/guida.txt"
  "EPUB (live-manual-epub live-manual.it.epub)|live-manual.it.epub|live.json|live.txt"
  "EPUB (live-manual.it.epub, mimetype first)|live-manual.it-riordinato.epub|live.json|live.txt"
)

# A copy of the program for each pair of libraries, with its own
# configuration and recovery file beside it.
program() {
  mkdir -p "$WORK/$1"
  cp "$BUILD/narravox" "$WORK/$1/narravox"
  printf '[Narravox]\r\nECIDLL=%s\r\nMP3DLL=%s\r\nPC=0\r\nP=NORMALE\r\n' "$2" "$3" >"$WORK/$1/narravox.INI"
}
program fake "$BUILD/libfake_eci.so" "$BUILD/libfake_lame_enc.so"
program real "$BUILD/libeci.so" "$BUILD/liblame_enc.so"
run() {
  local which=$1
  shift
  env -u XDG_CONFIG_HOME -u XDG_STATE_HOME -u NARRAVOX_REGISTRY LC_ALL=C HOME="$WORK/home" \
    "$WORK/$which/narravox" "$@"
}

# ---------------------------------------------------------------------------
echo "== Chapters listed by /ELENCO"
for entry in "${INPUTS[@]}"; do
  IFS='|' read -r name file ref _ <<<"$entry"
  rc=0
  run fake /ELENCO "$WORK/in/$file" >"$WORK/list/$file.txt" 2>"$WORK/list/$file.err" || rc=$?
  if [ $rc -ne 0 ] || ! grep -q '^  Capitoli: ' "$WORK/list/$file.txt"; then
    fail "$name: /ELENCO ended with code $rc and listed no chapters: $(tr '\n' ' ' <"$WORK/list/$file.err")"
    continue
  fi
  check chapters "$name" "$WORK/list/$file.txt" "$WORK/ref/$ref"
done
rc=0
run fake /ELENCO "$WORK/in/guida.txt" >"$WORK/list/guida.txt.txt" 2>"$WORK/list/guida.txt.err" || rc=$?
if [ $rc -ne 0 ]; then
  fail "plain text (w3m -dump, maint-guide-it): /ELENCO ended with code $rc: $(tr '\n' ' ' <"$WORK/list/guida.txt.err")"
else
  check found "plain text (w3m -dump, maint-guide-it)" "$WORK/list/guida.txt.txt" "$WORK/ref/guida.json"
fi

# ---------------------------------------------------------------------------
echo
echo "== What the engine is given (fake engine and encoder)"
INPUTS+=("plain text (w3m -dump, maint-guide-it)|guida.txt||../in/guida.txt")
for entry in "${INPUTS[@]}"; do
  IFS='|' read -r name file _ text <<<"$entry"
  [ -s "$WORK/list/$file.txt" ] && grep -q '^  File MP3: ' "$WORK/list/$file.txt" || {
    fail "$name: not converted, since /ELENCO did not list it"
    continue
  }
  log="$WORK/log/$file.engine"
  rc=0
  NARRAVOX_FAKE_ECI_LOG=$log run fake /D="$WORK/fake/out" /I3=V2 /CC=N /VB=0 /TI=N /PA=1 "$WORK/in/$file" \
    >"$WORK/log/$file.out" 2>&1 || rc=$?
  folder=$(sed -n 's/^  Cartella: "\(.*\)"$/\1/p' "$WORK/list/$file.txt")
  if [ $rc -ne 0 ] || [ ! -f "$log" ]; then
    fail "$name: the conversion ended with code $rc: $(tail -3 "$WORK/log/$file.out" | tr '\n' ' ')"
    continue
  fi
  check spoken "$name" "$log" "$WORK/ref/$text" "$WORK/list/$file.txt" "$WORK/fake/out/$(basename "$folder")"
done

# ---------------------------------------------------------------------------
echo
echo "== A book through the real engine and encoder (caricamento.epub, /F=1)"
check ref-epub "$WORK/ref/caricamento.json" "$WORK/in/caricamento.epub"
rc=0
run real /ELENCO /F=1 "$WORK/in/caricamento.epub" >"$WORK/list/caricamento.txt" 2>&1 || rc=$?
if [ $rc -ne 0 ]; then
  fail "caricamento.epub: /ELENCO ended with code $rc: $(tr '\n' ' ' <"$WORK/list/caricamento.txt")"
else
  sed -n '/^  File MP3/,/^Testi/p' "$WORK/list/caricamento.txt" | sed 's/^/      /'
  began=$SECONDS
  rc=0
  run real /D="$WORK/real/out" /I3=V2 /CC=N /VB=0 /F=1 "$WORK/in/caricamento.epub" >"$WORK/log/real.out" 2>&1 || rc=$?
  if [ $rc -ne 0 ]; then
    fail "caricamento.epub: the conversion with the real engine ended with code $rc: $(tail -3 "$WORK/log/real.out" | tr '\n' ' ')"
  else
    echo "      (converted in $((SECONDS - began)) s)"
    check tags "caricamento.epub (real engine)" "$WORK/list/caricamento.txt" "$WORK/real/out/caricamento" \
      "$WORK/ref/caricamento.json"
  fi
fi

# ---------------------------------------------------------------------------
echo
echo "== DAISY books"
CHECKER=$(find "$BUILD" -maxdepth 3 -name narravox_daisy_check -type f | head -1)
# which, name, the book's folder name, reference, options...
daisy_book() {
  local which=$1 name=$2 folder=$3 ref=$4
  shift 4
  local out=$WORK/daisy/$which/out rc=0 frames=()
  [ "$which" = fake ] && frames=(--frames)
  NARRAVOX_FAKE_ENC_FRAMES=1 run "$which" /FO=D /D="$out" /CC=N /VB=0 "$@" >"$WORK/log/daisy-$folder.out" 2>&1 || rc=$?
  if [ $rc -ne 0 ]; then
    fail "$name: the DAISY conversion ended with code $rc: $(tail -3 "$WORK/log/daisy-$folder.out" | tr '\n' ' ')"
    return
  fi
  rc=0
  "$CHECKER" "${frames[@]}" "$out/$folder" >"$WORK/log/daisy-$folder.check" 2>&1 || rc=$?
  if [ $rc -eq 0 ]; then
    pass "$name: the book passes the checker: $(tail -1 "$WORK/log/daisy-$folder.check")"
  else
    fail "$name: the checker finds: $(head -8 "$WORK/log/daisy-$folder.check" | tr '\n' ' ')"
  fi
  # ffprobe refuses the fake frames, which hold no audio.
  check daisy "$name" "$out/$folder" "$WORK/ref/$ref" "$WORK/log/daisy-$folder.check" \
    "$([ "$which" = real ] && echo ffprobe || echo none)"
}
if [ -z "$CHECKER" ]; then
  fail "narravox_daisy_check is missing: build everything first"
else
  # The fake encoder writes a frame header before each chunk, which the
  # checker counts (no decoder can play them).
  daisy_book fake "DAISY book of live-manual.it.epub (fake libraries, 190 chapters)" live-manual.it live.json \
    /PA=1 "$WORK/in/live-manual.it.epub"
  daisy_book real "DAISY book of caricamento.epub (real engine)" caricamento caricamento.json \
    /F=1 /I3=V2 "$WORK/in/caricamento.epub"
  daisy_book fake "DAISY book of dreq.it.html (fake libraries)" dreq.it dreq.json "$WORK/in/dreq.it.html"
fi
finish
