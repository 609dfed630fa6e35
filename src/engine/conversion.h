// The conversion of the JobList: every text loaded, cut into fragments,
// spoken into numbered MP3 files in its folder, grouped, with the
// RecoveryFile kept current after every file.
#pragma once

#include "reading/user_dictionary.h"

// Converts the texts of the JobList from its line 2 on; raises the error
// that ends the run. Releases everything it acquired on every way out.
// A file that is not a text is reported and skipped (dropped from the
// JobList like a finished text); the result is the number of such files.
// The user's dictionary (DIZIONARIO) is read by the caller, at set-up.
int RunConversion(const reading::TUserDictionary& dictionary);
