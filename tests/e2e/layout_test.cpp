// Output folders: the clean-up of old files, group folders and the spoken
// folder identifier clips.
#include "conversion_fixture.h"

namespace {

// A text of n fragments, one sentence each, cut by the split line "--".
std::string Fragments(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "Frase " + std::to_string(i) + ".\n--\n";
  return text;
}

TEST_F(Conversion, NoGroupsWithAsManyFilesAsAGroupHolds) {
  Configure("TI=N\r\nRF=--\r\nG=5\r\nIC=S\r\nNF=cap_\r\n");
  folder_.Write("libro.txt", Fragments(5));
  ASSERT_EQ(Convert({"/VB=0", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out/libro"),
            "CAP_000.mp3\nCAP_001.mp3\nCAP_002.mp3\nCAP_003.mp3\nCAP_004.mp3\nCAP_005.mp3\n");
  EXPECT_EQ(Out("libro/CAP_000.mp3"), ClipContent("Cartella testi libro: file da 1 a 5 di 5"));
  EXPECT_EQ(Out("libro/CAP_005.mp3"), "frase 5.\r\n");
}

TEST_F(Conversion, SiblingGroupFolders) {
  Configure("TI=N\r\nRF=--\r\nG=5\r\nIC=S\r\n");
  folder_.Write("libro.txt", Fragments(6));
  ASSERT_EQ(Convert({"/VB=0", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out"), "libro01\nlibro02\n");
  EXPECT_EQ(Listing("out/libro01"), "000.mp3\n001.mp3\n002.mp3\n003.mp3\n004.mp3\n005.mp3\n");
  EXPECT_EQ(Listing("out/libro02"), "000.mp3\n006.mp3\n");
  EXPECT_EQ(Out("libro02/006.mp3"), "frase 6.\r\n");
  EXPECT_EQ(Out("libro01/000.mp3"), ClipContent("Cartella testi libro: file da 1 a 5 di 6"));
  EXPECT_EQ(Out("libro02/000.mp3"), ClipContent("Cartella testi libro: file da 6 a 6 di 6"));
}

TEST_F(Conversion, JoinedGroupFoldersWithRockBoxClips) {
  Configure("TI=N\r\nRF=--\r\nG=5\r\nRG=S\r\nCR=MP3\r\n");
  folder_.Write("libro.txt", Fragments(12));
  ASSERT_EQ(Convert({"/VB=0", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out/libro"), "01\n02\n03\n_dirname.talk\n");
  EXPECT_EQ(Listing("out/libro/03"), "011.mp3\n012.mp3\n_dirname.talk\n");
  EXPECT_EQ(Out("libro/_dirname.talk"), ClipContent("Cartella testi libro: 3 gruppi, 12 file"));
  EXPECT_EQ(Out("libro/03/_dirname.talk"),
            ClipContent("Cartella testi libro: file da 11 a 12 di 12"));
  EXPECT_EQ(Out("libro/02/006.mp3"), "frase 6.\r\n");
}

// Every MP3 file gets a clip of its name and number, which goes into the
// file's group with it; old clips go with the old files.
TEST_F(Conversion, FileClipsBesideTheirFiles) {
  Configure("TI=N\r\nRF=--\r\nG=5\r\nRG=S\r\nCR=MP3\r\nCF=S\r\nCC=N\r\n");
  folder_.Write("libro.txt", Fragments(6));
  folder_.MakeFolder("out");
  folder_.MakeFolder("out/libro");
  folder_.MakeFolder("out/libro/02");
  for (const char* name : {"01/001.mp3", "02/007.mp3", "02/007.mp3.talk", "02/009.mp3.talk"})
    folder_.Write(std::string("out/libro/") + name, "vecchio");
  ASSERT_EQ(Convert({"/VB=0", "libro.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out/libro"), "01\n02\n_dirname.talk\n");
  EXPECT_EQ(Listing("out/libro/01"),
            "001.mp3\n001.mp3.talk\n002.mp3\n002.mp3.talk\n003.mp3\n003.mp3.talk\n004.mp3\n"
            "004.mp3.talk\n005.mp3\n005.mp3.talk\n_dirname.talk\n");
  EXPECT_EQ(Listing("out/libro/02"), "006.mp3\n006.mp3.talk\n_dirname.talk\n");
  EXPECT_EQ(Out("libro/01/001.mp3.talk"), ClipContent("libro, file 1"));
  EXPECT_EQ(Out("libro/02/006.mp3.talk"), ClipContent("libro, file 6"));
  EXPECT_EQ(Out("libro/02/006.mp3"), "frase 6.\r\n");
}

TEST_F(Conversion, OldFilesGoOnlyWhenTheUserSaysSo) {
  Configure("TI=N\r\nNF=cap_\r\n");
  folder_.Write("libro.txt", "Nuovo.\n");
  folder_.MakeFolder("out");
  folder_.MakeFolder("out/libro");
  for (const char* name : {"CAP_001.mp3", "CAP_007.mp3", "CAP_000.mp3", "CAP_ABC.mp3", "001.mp3"})
    folder_.Write(std::string("out/libro/") + name, "vecchio");
  RunResult refused = Convert({"/VB=0", "libro.txt"}, "forse\nno\n");
  const std::string question = "Vuoi cancellare i file MP3 contenuti nella cartella \"" +
                               folder_.File("out/libro") + "\" (Si/No)?\n";
  // The text is skipped, not the run interrupted.
  EXPECT_EQ(refused.output, question + question);
  EXPECT_EQ(refused.errors, "* ERRORE: il testo \"" + folder_.File("libro.txt") +
                                "\" viene saltato: i vecchi file MP3 della cartella \"" +
                                folder_.File("out/libro") + "\" non sono stati cancellati\n");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(Out("libro/CAP_007.mp3"), "vecchio");
  EXPECT_EQ(Listing("out/libro"), "001.mp3\nCAP_000.mp3\nCAP_001.mp3\nCAP_007.mp3\nCAP_ABC.mp3\n");

  RunResult accepted = Convert({"/VB=0", "libro.txt"}, "Si\n");
  EXPECT_EQ(accepted.output, question);
  EXPECT_EQ(accepted.exitCode, 0);
  EXPECT_EQ(Listing("out/libro"), "001.mp3\nCAP_001.mp3\nCAP_ABC.mp3\n");
  EXPECT_EQ(Out("libro/CAP_001.mp3"), "nuovo.\r\n");

  // Without confirmation, nothing is asked.
  folder_.Write("out/libro/CAP_002.mp3", "vecchio");
  EXPECT_EQ(Convert({"/VB=0", "/CC=N", "libro.txt"}).output, "");
  EXPECT_FALSE(OutExists("libro/CAP_002.mp3"));
}

TEST_F(Conversion, QuestionIsAskedOncePerTextAcrossItsGroups) {
  Configure("TI=N\r\nRF=--\r\nG=5\r\n");
  folder_.Write("libro.txt", Fragments(6));
  folder_.MakeFolder("out");
  for (const char* group : {"out/libro01", "out/libro02"}) {
    folder_.MakeFolder(group);
    folder_.Write(std::string(group) + "/009.mp3", "vecchio");
  }
  RunResult run = Convert({"/VB=0", "libro.txt"}, "s\n");
  EXPECT_EQ(run.output, "Vuoi cancellare i file MP3 contenuti nella cartella \"" +
                            folder_.File("out/libro") + "\" (Si/No)?\n");
  EXPECT_EQ(Listing("out/libro02"), "006.mp3\n");
}

TEST_F(Conversion, FolderThatCannotBeCreated) {
  Configure();
  folder_.Write("libro.txt", "Testo.\n");
  folder_.Write("out", "un file, non una cartella");
  RunResult run = Convert({"/VB=0", "libro.txt"});
  EXPECT_TRUE(StoppedWith(run, "Impossibile creare la cartella \"" + folder_.File("out/libro") +
                                   "\" (codice 20: una parte del percorso non e' una cartella)"));
}

}  // namespace
