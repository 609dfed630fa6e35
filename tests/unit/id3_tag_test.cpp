// The ID3v1.1 tag image: fixed fields, album, title and track byte.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/id3_tag.h"

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

}  // namespace
