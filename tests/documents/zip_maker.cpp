#include "documents/zip_maker.h"

#include <zip.h>

#include <stdexcept>

std::string MakeZip(const std::vector<TZipEntry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (!target) throw std::runtime_error("zip_source_buffer_create");
  zip_source_keep(target);
  zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  if (!archive) throw std::runtime_error("zip_open_from_source");
  for (const TZipEntry& entry : entries) {
    zip_source_t* source = zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
    zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) throw std::runtime_error("zip_file_add");
    if (entry.stored) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    // One time for every entry: the same entries always make the same bytes.
    zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), 946684800, 0);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("zip_close");
  std::string bytes;
  zip_source_open(target);
  zip_source_seek(target, 0, SEEK_END);
  zip_int64_t size = zip_source_tell(target);
  zip_source_seek(target, 0, SEEK_SET);
  bytes.resize(static_cast<size_t>(size));
  zip_source_read(target, &bytes[0], static_cast<zip_uint64_t>(size));
  zip_source_close(target);
  zip_source_free(target);
  return bytes;
}
