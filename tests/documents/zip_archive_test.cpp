#include "documents/zip_archive.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <functional>

#include "documents/reader_errors.h"
#include "documents/zip_maker.h"

namespace documents {
namespace {


TEST(ZipArchive, ReadsEntriesByName) {
  std::string bytes = MakeZip({{"mimetype", "application/epub+zip", true},
                               {"OEBPS/testo.xhtml", std::string(5000, 'a') + "fine"}});
  TZipArchive archive(bytes, TReadLimits{});
  EXPECT_TRUE(archive.Has("mimetype"));
  EXPECT_FALSE(archive.Has("OEBPS"));
  EXPECT_EQ(archive.Names(), (std::vector<std::string>{"mimetype", "OEBPS/testo.xhtml"}));
  EXPECT_EQ(archive.Read("mimetype"), "application/epub+zip");
  EXPECT_EQ(archive.Read("OEBPS/testo.xhtml"), std::string(5000, 'a') + "fine");
  EXPECT_EQ(ErrorOf([&] { archive.Read("OEBPS/manca.xhtml"); }),
            "manca il file OEBPS/manca.xhtml nell'archivio");
}

TEST(ZipArchive, RefusesWhatIsNotAnArchive) {
  const char* damaged = "l'archivio e' danneggiato";
  EXPECT_EQ(ErrorOf([] { TZipArchive("", TReadLimits{}); }), damaged);
  EXPECT_EQ(ErrorOf([] { TZipArchive("PK\x03\x04 non e' un archivio", TReadLimits{}); }), damaged);
  std::string bytes = MakeZip({{"a.txt", std::string(100000, 'x')}});
  EXPECT_EQ(ErrorOf([&] { TZipArchive(bytes.substr(0, bytes.size() / 2), TReadLimits{}); }), damaged);
}

TEST(ZipArchive, DamagedEntryFailsWhenRead) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += std::to_string(i * 7919) + ' ';
  std::string bytes = MakeZip({{"a.txt", text}});
  // The compressed data starts after the 30-byte local header and the name.
  for (size_t at = 40; at < 400; ++at) bytes[at] = static_cast<char>(bytes[at] ^ 0x5a);
  EXPECT_EQ(ErrorOf([&] {
              TZipArchive archive(bytes, TReadLimits{});
              archive.Read("a.txt");
            }),
            "l'archivio e' danneggiato");
}

// An archive whose one entry is encrypted with AES and a password.
std::string EncryptedZip() {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(target);
  zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  static const char text[] = "segreto";
  zip_int64_t index = zip_file_add(archive, "a.txt", zip_source_buffer(archive, text, 7, 0), 0);
  zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "chiave");
  zip_close(archive);
  zip_source_open(target);
  zip_source_seek(target, 0, SEEK_END);
  std::string bytes(static_cast<size_t>(zip_source_tell(target)), '\0');
  zip_source_seek(target, 0, SEEK_SET);
  zip_source_read(target, &bytes[0], bytes.size());
  zip_source_close(target);
  zip_source_free(target);
  return bytes;
}

TEST(ZipArchive, RefusesEncryptedEntries) {
  std::string bytes = EncryptedZip();
  TZipArchive archive(bytes, TReadLimits{});
  EXPECT_EQ(ErrorOf([&] { archive.Read("a.txt"); }), "il file a.txt nell'archivio e' cifrato");
}

TEST(ZipArchive, StopsAtTheLimitsWhateverTheDeclaredSizes) {
  // 100 MB of zeros deflate to about 100 KB.
  std::string bomb = MakeZip({{"zeri.bin", std::string(size_t{100} << 20, '\0')}});
  ASSERT_LT(bomb.size(), size_t{1} << 20);
  TReadLimits limits;
  limits.maxUncompressed = size_t{1} << 20;
  TZipArchive archive(bomb, limits);
  EXPECT_EQ(ErrorOf([&] { archive.Read("zeri.bin"); }),
            "l'archivio e' troppo grande una volta decompresso");

  // The limit counts every entry read, not each one alone.
  std::string two = MakeZip({{"a", std::string(600, 'a')}, {"b", std::string(600, 'b')}});
  limits.maxUncompressed = 1000;
  TZipArchive pair(two, limits);
  EXPECT_EQ(pair.Read("a").size(), 600u);
  EXPECT_EQ(ErrorOf([&] { pair.Read("b"); }), "l'archivio e' troppo grande una volta decompresso");

  limits.maxEntries = 1;
  EXPECT_EQ(ErrorOf([&] { TZipArchive(two, limits); }), "l'archivio contiene troppi file");
}

TEST(ZipArchive, ResolvesPathsWithinTheArchive) {
  EXPECT_EQ(ResolveEntryPath("OEBPS/text/ch1.xhtml", "../images/a.png"), "OEBPS/images/a.png");
  EXPECT_EQ(ResolveEntryPath("OEBPS/content.opf", "text/ch%201.xhtml#par"), "OEBPS/text/ch 1.xhtml");
  EXPECT_EQ(ResolveEntryPath("OEBPS/ch1.xhtml", "#nota1"), "OEBPS/ch1.xhtml");
  EXPECT_EQ(ResolveEntryPath("content.opf", "./ch1.xhtml"), "ch1.xhtml");
  EXPECT_EQ(ResolveEntryPath("OEBPS/content.opf", "../../../etc/passwd"), "etc/passwd");
  EXPECT_EQ(ResolveEntryPath("OEBPS/content.opf", "/META-INF/container.xml"), "META-INF/container.xml");
}

}  // namespace
}  // namespace documents
