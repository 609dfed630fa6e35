// The conversion of the JobList: every text loaded, cut into fragments,
// spoken into numbered MP3 files in its folder, grouped, with the
// RecoveryFile kept current after every file.
#pragma once

// Converts the texts of the JobList from its line 2 on; raises the error
// that ends the run. Releases everything it acquired on every way out.
void RunConversion();
