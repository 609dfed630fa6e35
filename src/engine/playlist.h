// The playlist of a text's MP3 files (UTF-8 .m3u8), written once they are
// made and grouped: in the text's folder, or beside the group folders when
// these replace it; each file with its path relative to the playlist, its
// duration in whole seconds, read from its MPEG frames, and its title.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/output_layout.h"

// titles: UTF-8, one per file from the first. Raises "Impossibile creare il
// file" when it cannot be written.
void WritePlaylist(const TTextNames& names, int32_t trackCount,
                   const std::vector<std::string>& titles);

// The playlist's file name in its folder.
std::string PlaylistName(const TTextNames& names);

// Removes what an earlier conversion of the text left of its playlist, in
// either place, with its old files.
void RemovePlaylist(const TTextNames& names);
