// What a run would make, shown without converting (/ELENCO): for each text
// of the JobList its kind, title, author, language, folder, chapters
// (number, title, level, size) and the MP3 files with their titles. Uses
// neither the engine nor a RecoveryFile.
#pragma once

// Returns the number of texts that the conversion would skip.
int RunListing();
