// The ID3v1.1 tag image: fixed fields, album, title and track byte; the
// ID3v2.3 tag's frames.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "engine/id3_tag.h"
#include "engine/id3v2_tag.h"

namespace {

std::string Field(const TId3Tag& tag, int offset, int width) {
  return std::string(reinterpret_cast<const char*>(tag) + offset, static_cast<size_t>(width));
}

std::string Padded(const std::string& text, size_t width) {
  return text + std::string(width - text.size(), '\0');
}

TEST(Id3Tag, FixedPartLeavesTitleAlbumAndTrackZero) {
  TId3Tag tag;
  std::memset(tag, 0xEE, sizeof tag);
  InitId3Tag(tag, 2025);
  EXPECT_EQ(Field(tag, 0, 3), "TAG");
  EXPECT_EQ(Field(tag, 3, 30), std::string(30, '\0'));
  EXPECT_EQ(Field(tag, 33, 30), Padded("Narravox 1.06f", 30));
  EXPECT_EQ(Field(tag, 63, 30), std::string(30, '\0'));
  EXPECT_EQ(Field(tag, 93, 4), "2025");
  EXPECT_EQ(Field(tag, 97, 29), Padded("Creato con Narravox", 29));
  EXPECT_EQ(tag[125], 0);  // marks the track byte of ID3v1.1
  EXPECT_EQ(tag[126], 0);
  EXPECT_EQ(tag[127], 101);
  InitId3Tag(tag, 987);
  EXPECT_EQ(Field(tag, 93, 4), "0987");
}

TEST(Id3Tag, FieldsAreCutOrPaddedToTheirWidth) {
  uint8_t field[6];
  std::memset(field, 0xEE, sizeof field);
  PutField(field, 5, "abcdefgh");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 6), "abcde\xEE");
  PutField(field, 5, "ab");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 6), std::string("ab\0\0\0\xEE", 6));
}

TEST(Id3Tag, AlbumTitleAndTrack) {
  TId3Tag tag;
  InitId3Tag(tag, 2025);
  SetId3Album(tag, "capitolo primo");
  EXPECT_EQ(Field(tag, 63, 30), Padded("Capitolo primo", 30));
  SetId3Album(tag, std::string(40, 'x'));
  EXPECT_EQ(Field(tag, 63, 30), "X" + std::string(29, 'x'));
  SetId3Album(tag, "\xE8 lui");  // only a to z change
  EXPECT_EQ(Field(tag, 63, 30), Padded("\xE8 lui", 30));
  SetId3Album(tag, "");
  EXPECT_EQ(Field(tag, 63, 30), std::string(30, '\0'));

  SetId3Track(tag, 12);
  EXPECT_EQ(Field(tag, 3, 30), Padded("Track 12", 30));
  EXPECT_EQ(tag[126], 12);
  SetId3Track(tag, 300);
  EXPECT_EQ(Field(tag, 3, 30), Padded("Track 300", 30));
  EXPECT_EQ(tag[126], 44);
  EXPECT_EQ(tag[125], 0);
}

// The v2 tag read back frame by frame: the header's 7-bit size covers the
// frames exactly, and each text frame is UTF-16 with its byte-order mark.
std::map<std::string, std::string> Frames(const std::string& tag) {
  std::map<std::string, std::string> frames;
  EXPECT_EQ(tag.substr(0, 6), std::string("ID3\x03\0\0", 6));
  size_t size = 0;
  for (int i = 6; i < 10; ++i) {
    EXPECT_LT(static_cast<uint8_t>(tag[i]), 0x80);
    size = size << 7 | static_cast<uint8_t>(tag[i]);
  }
  EXPECT_EQ(size, tag.size() - 10);
  for (size_t at = 10; at + 10 <= tag.size();) {
    size_t length = 0;
    for (size_t i = 4; i < 8; ++i) length = length << 8 | static_cast<uint8_t>(tag[at + i]);
    frames[tag.substr(at, 4)] = tag.substr(at + 10, length);
    at += 10 + length;
  }
  return frames;
}

std::string Utf16(const std::u16string& text) {
  std::string out = "\x01\xFF\xFE";
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

TEST(Id3v2Tag, FramesHoldAnyCharacterOfTheName) {
  TId3v2Fields fields;
  // A lower-case start, a letter outside 1252, one outside the BMP, and a
  // malformed byte; long enough for a size above 127.
  fields.album = "dvo\xC5\x99\xC3\xA1k \xF0\x9F\x8E\xBB \xFF" + std::string(60, 'x');
  fields.track = 300;
  fields.year = 2025;
  fields.language = 0x50000;
  std::map<std::string, std::string> frames = Frames(Id3v2Tag(fields));
  EXPECT_EQ(frames.size(), 7u);
  EXPECT_EQ(frames["TIT2"], Utf16(u"Track 300"));
  EXPECT_EQ(frames["TALB"], Utf16(u"Dvo\u0159\u00E1k \U0001F3BB \uFFFD" + std::u16string(60, 'x')));
  EXPECT_EQ(frames["TRCK"], Utf16(u"300"));
  EXPECT_EQ(frames["TCON"], Utf16(u"Speech"));
  EXPECT_EQ(frames["TYER"], Utf16(u"2025"));
  EXPECT_EQ(frames["TLAN"], Utf16(u"ita"));
  EXPECT_EQ(frames["COMM"],
            std::string("\x01ita\xFF\xFE\0\0", 8) + Utf16(u"Creato con Narravox").substr(1));
  EXPECT_STREQ(Iso639Language(0x10001), "eng");
  EXPECT_STREQ(Iso639Language(0x70000), "por");
}

}  // namespace
