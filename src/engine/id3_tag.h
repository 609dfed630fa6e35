// The ID3v1.1 tag image appended to every MP3 file of a fragment.
#pragma once

#include <cstdint>
#include <string>

using TId3Tag = uint8_t[128];

// Copies the first width bytes of text (or all of it, when shorter) into
// field and zeroes the rest of the width.
void PutField(uint8_t* field, int width, const std::string& text);

// The fixed part: identifier, artist, year, comment, genre; all else zero.
void InitId3Tag(TId3Tag& tag, int year);
// The album: textName with its first letter upper-cased.
void SetId3Album(TId3Tag& tag, const std::string& textName);
// The title "Track N" and the track byte N modulo 256.
void SetId3Track(TId3Tag& tag, int32_t trackNumber);

// With chapters: the title is the file's chapter title and the artist the
// author (empty when unknown), both ANSI, cut to the field's 30 bytes.
void SetId3Title(TId3Tag& tag, const std::string& title);
void SetId3Artist(TId3Tag& tag, const std::string& artist);
