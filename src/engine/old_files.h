// The files that an earlier conversion of a text left, recognised and
// removed: the numbered MP3 files (NOMEFILE followed by a number of three
// digits or more), their file clips, the folder identifier clip, the files
// left half-written under their temporary names, and the group folders
// beside or inside the text's folder. Nothing else is ever deleted: a
// folder counts as a group folder of the text only when its name is the
// text's followed by a group number and everything it holds could have come
// from that group (no folder, no lock of a conversion in progress, at least
// one numbered file and none outside the group's numbers).
#pragma once

#include <cstdint>
#include <string>

#include "engine/output_layout.h"

// Whether the old files of the text, if any, may go: true without a
// question when there are none or the settings do not want one; false when
// the user says no or gives no answer (the input ended).
bool ConsentToRemoveOldFiles(const TTextNames& names);
// Whether ConsentToRemoveOldFiles would ask the user.
bool OldFilesQuestionNeeded(const TTextNames& names);

// Removes the old numbered MP3 files with their file clips, and the
// identifier clip, from folder (which ends with a separator).
void RemoveOldFiles(const std::string& folder, const TTextNames& names);

// Deletes the files that an interrupted run left half-written in folder
// (which ends with a separator) under their temporary names: the numbered
// MP3 files, their clips and the folder's identifier clip.
void RemoveUnfinishedFiles(const std::string& folder, const TTextNames& names);

// The group folders of an earlier conversion of the text beyond the
// usedGroups that this one fills, in either layout (all of them when it
// fills none): their old files go, and the folder itself when nothing else
// is left in it.
void RemoveStaleGroupFolders(const TTextNames& names, int32_t usedGroups);
