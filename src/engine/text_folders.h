// The folder of each text in the destination, decided for the whole run
// before any file is made, so that no two texts of a run share one: a text
// named as an earlier one of the run, or named the same but for letter case
// (FAT and Windows do not tell them apart), goes to "name (2)", "name (3)",
// and so on, with a warning that names both texts; a text named twice goes
// to its one folder twice. On POSIX a file that
// stands in the destination under the text's name (an extensionless text
// converted where it lies, most often) sends the text to "name.mp3".
// A decided folder stays with its text across "/R": the RecoveryFile keeps
// every folder not named after its text.
#pragma once

#include "base/run_state.h"

// Gives every text of list (from line 2) without a folder one that no other
// text of the list has.
void AssignTextFolders(TJobList* list);
