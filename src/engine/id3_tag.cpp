// The ID3v1.1 tag: "TAG", title, artist, album, year, comment, track, genre.
#include "engine/id3_tag.h"

#include <cstring>

#include "base/messages.h"
#include "text/ascii.h"

namespace {

constexpr int kTitle = 3, kArtist = 33, kAlbum = 63, kYear = 93, kComment = 97;
constexpr int kTrack = 126, kGenre = 127;
constexpr uint8_t kGenreSpeech = 101;

}  // namespace

void PutField(uint8_t* field, int width, const std::string& text) {
  if (width <= 0) return;
  size_t copied = text.size() < static_cast<size_t>(width) ? text.size() : static_cast<size_t>(width);
  std::memcpy(field, text.data(), copied);
  std::memset(field + copied, 0, static_cast<size_t>(width) - copied);
}

void InitId3Tag(TId3Tag& tag, int year) {
  std::memset(tag, 0, sizeof(TId3Tag));
  PutField(tag, 3, "TAG");
  PutField(tag + kArtist, 30, msg::kTagArtist);
  char digits[5] = {'0', '0', '0', '0', 0};
  for (int i = 3, y = year < 0 ? 0 : year % 10000; i >= 0; --i, y /= 10)
    digits[i] = static_cast<char>('0' + y % 10);
  PutField(tag + kYear, 4, digits);
  // 28 bytes at most, so that byte 125 stays 0 and marks the ID3v1.1 track.
  PutField(tag + kComment, 28, msg::kTagComment);
  tag[kGenre] = kGenreSpeech;
}

void SetId3Album(TId3Tag& tag, const std::string& textName) {
  std::string album = textName;
  if (!album.empty()) album[0] = UpperAscii(album[0]);
  PutField(tag + kAlbum, 30, album);
}

void SetId3Track(TId3Tag& tag, int32_t trackNumber) {
  PutField(tag + kTitle, 30, "Track " + std::to_string(trackNumber));
  tag[kTrack] = static_cast<uint8_t>(static_cast<uint32_t>(trackNumber) & 0xFF);
}

void SetId3Title(TId3Tag& tag, const std::string& title) { PutField(tag + kTitle, 30, title); }

void SetId3Artist(TId3Tag& tag, const std::string& artist) { PutField(tag + kArtist, 30, artist); }
