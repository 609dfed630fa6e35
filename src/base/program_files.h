// Where the program's own files live. A configuration file beside the
// program makes it a portable copy that keeps everything in its folder (and
// Windows always does so); otherwise, on POSIX, the configuration is the
// user's ($XDG_CONFIG_HOME/narravox/, by default ~/.config/narravox/) and so
// is the RecoveryFile ($XDG_STATE_HOME/narravox/, by default
// ~/.local/state/narravox/).
#pragma once

#include <string>
#include <vector>

struct TProgramFiles {
  bool Portable = true;       // everything beside the program
  std::string ConfigFile;     // the configuration file in use (it may not exist yet)
  std::string RecoveryFile;   // the RecoveryFile
  // The folder of the engine and encoder libraries that came with the
  // program, with a final separator: the program's own folder (the build
  // tree, Windows), or ../lib/narravox/ from an installed bin/.
  std::string LibraryFolder;
};

TProgramFiles ProgramFiles();

// Runs side by side each have a RecoveryFile: slot 1 is recoveryFile
// itself, slot n the same name with "-n" before its extension
// ("narravox-2.dat"). A run takes the first slot whose lock is free (on
// POSIX; Windows has slot 1 only, one conversion at a time).
std::string RecoverySlot(const std::string& recoveryFile, int slot);
inline constexpr int kMaxRecoverySlots = 9999;
// The slots above 1 that exist beside recoveryFile, in order.
std::vector<int> ExistingRecoverySlots(const std::string& recoveryFile);

// The folder part of a path, up to and including its last separator.
std::string FolderOf(const std::string& path);

// Creates the folder of a file that is about to be written, with its
// parents; raises "Impossibile creare la cartella" with the reason.
void CreateFolderOf(const std::string& path);
