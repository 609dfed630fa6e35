#include "documents/zip_archive.h"

#include <zip.h>

#include <algorithm>
#include <unordered_map>

namespace documents {
namespace {

const char kDamaged[] = "l'archivio e' danneggiato";
const char kTooLarge[] = "l'archivio e' troppo grande una volta decompresso";
constexpr size_t kChunk = 64 * 1024;

// Closes an entry on every way out of Read.
struct TEntryCloser {
  zip_file_t* file;
  ~TEntryCloser() { zip_fclose(file); }
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

// Owns the open archive, so that a constructor that refuses it still
// closes it.
struct TZipArchive::TImpl {
  ~TImpl() {
    if (archive) zip_discard(archive);
  }
  zip_t* archive = nullptr;
  TReadLimits limits;
  size_t inflated = 0;  // bytes read from all entries so far
  std::vector<std::string> names;
  std::unordered_map<std::string, zip_uint64_t> indexes;
};

TZipArchive::TZipArchive(const std::string& bytes, const TReadLimits& limits)
    : impl_(std::make_unique<TImpl>()) {
  impl_->limits = limits;
  // libzip takes no bytes at all for a new, empty archive; the shortest
  // real one is its 22-byte end record.
  if (bytes.size() < 22) throw EDocumentError(kDamaged);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) {
    zip_error_fini(&error);
    throw EDocumentError(kDamaged);
  }
  // No ZIP_CHECKCONS: books made by common tools often carry small
  // disagreements between the local and central headers that do not harm
  // their content; a damaged entry still fails when it is read.
  impl_->archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  zip_error_fini(&error);
  if (!impl_->archive) {
    zip_source_free(source);
    throw EDocumentError(kDamaged);
  }
  zip_int64_t count = zip_get_num_entries(impl_->archive, 0);
  if (count < 0) throw EDocumentError(kDamaged);
  if (static_cast<zip_uint64_t>(count) > impl_->limits.maxEntries)
    throw EDocumentError("l'archivio contiene troppi file");
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    const char* name = zip_get_name(impl_->archive, i, ZIP_FL_ENC_GUESS);
    if (!name) continue;
    if (impl_->indexes.emplace(name, i).second) impl_->names.emplace_back(name);
  }
}

TZipArchive::~TZipArchive() = default;

bool TZipArchive::Has(const std::string& name) const { return impl_->indexes.count(name) != 0; }

std::vector<std::string> TZipArchive::Names() const { return impl_->names; }

std::string TZipArchive::Read(const std::string& name) {
  auto found = impl_->indexes.find(name);
  if (found == impl_->indexes.end()) throw EDocumentError("manca il file " + name + " nell'archivio");
  const zip_uint64_t index = found->second;
  const std::string encrypted = "il file " + name + " nell'archivio e' cifrato";
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(impl_->archive, index, 0, &stat) != 0) throw EDocumentError(kDamaged);
  if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
    throw EDocumentError(encrypted);
  zip_file_t* file = zip_fopen_index(impl_->archive, index, 0);
  if (!file) {
    int code = zip_error_code_zip(zip_get_error(impl_->archive));
    if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP)
      throw EDocumentError(encrypted);
    throw EDocumentError(kDamaged);
  }
  TEntryCloser closer{file};
  const size_t limit = impl_->limits.maxUncompressed;
  std::string content;
  // The declared size only sizes the first allocation, never beyond what
  // the limit still allows.
  if (stat.valid & ZIP_STAT_SIZE)
    content.reserve(std::min<zip_uint64_t>({stat.size, limit - std::min(limit, impl_->inflated),
                                            zip_uint64_t{16} << 20}));
  char chunk[kChunk];
  for (;;) {
    zip_int64_t got = zip_fread(file, chunk, sizeof chunk);
    if (got < 0) throw EDocumentError(kDamaged);
    if (got == 0) break;
    const size_t size = static_cast<size_t>(got);
    if (size > limit - std::min(limit, impl_->inflated)) throw EDocumentError(kTooLarge);
    impl_->inflated += size;
    content.append(chunk, size);
  }
  return content;
}

std::string ResolveEntryPath(const std::string& base, const std::string& href) {
  std::string path = PercentDecoded(href.substr(0, href.find('#')));
  if (path.empty()) path = base;  // "#note": a place in the same entry
  else if (path[0] != '/') path = base.substr(0, base.rfind('/') + 1) + path;
  // Segments resolved one by one: "." stays, ".." goes up, never past the root.
  std::vector<std::string> segments;
  size_t at = 0;
  while (at <= path.size()) {
    size_t slash = path.find('/', at);
    if (slash == std::string::npos) slash = path.size();
    std::string segment = path.substr(at, slash - at);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(std::move(segment));
    }
    at = slash + 1;
  }
  std::string resolved;
  for (const std::string& segment : segments) {
    if (!resolved.empty()) resolved += '/';
    resolved += segment;
  }
  return resolved;
}

}  // namespace documents
