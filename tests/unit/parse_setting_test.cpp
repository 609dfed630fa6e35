// The option parser: every key with values it must take and values it must
// refuse, the whole-number syntax and the stored forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "base/messages.h"
#include "config/parse_setting.h"
#include "platform/files.h"
#include "text/lines.h"

namespace {

struct Accepted {
  const char* text;
  int32_t TSettings::*field;
  int32_t expected;
};

TEST(ParseSetting, NumbersAndWordsAreStoredInTheirRunForms) {
  const Accepted cases[] = {
      {"/l=it", &TSettings::LINGUA, 0x50000},
      {"/L=IT ", &TSettings::LINGUA, 0x50000},
      {"LINGUA = uk", &TSettings::LINGUA, 0x10001},
      {"/L=US", &TSettings::LINGUA, 0x10000},
      {"/L=PB", &TSettings::LINGUA, 0x70000},
      {"/VOCE=+3", &TSettings::VOCE, 3},
      {"/V=03", &TSettings::VOCE, 3},
      {"/V=0", &TSettings::VOCE, 0},
      {"/VE=*", &TSettings::VELOCITA, -1},
      {"/VE=1297", &TSettings::VELOCITA, 1297},
      {"/TO=40", &TSettings::TONALITA, 40},
      {"/TONALITA=*", &TSettings::TONALITA, -1},
      {"/VO=1", &TSettings::VOLUME, 656},
      {"/VO=50", &TSettings::VOLUME, 32768},
      {"/VO=100", &TSettings::VOLUME, 65535},
      {"/VO=*", &TSettings::VOLUME, -1},
      {"/SA=11", &TSettings::SAMPLE, 11025},
      {"/SA=8", &TSettings::SAMPLE, 8000},
      {"/SAMPLE=8000", &TSettings::SAMPLE, 8000},
      {"/RS=SI", &TSettings::RESAMPLE, -1},
      {"/RS=OFF", &TSettings::RESAMPLE, 0},
      {"/RS=44", &TSettings::RESAMPLE, 44100},
      {"/RS=24", &TSettings::RESAMPLE, 24000},
      {"/RS=22050", &TSettings::RESAMPLE, 22050},
      {"/BR=40", &TSettings::BITRATE, 40},
      {"/BITRATE=128", &TSettings::BITRATE, 128},
      {"/T=D", &TSettings::TIPOTESTO, 2},
      {"/TIPOTESTO=windows", &TSettings::TIPOTESTO, 1},
      {"/T=AUTO", &TSettings::TIPOTESTO, 0},
      {"/F=16", &TSettings::FRAMMENTI, 16384},
      {"/F=1", &TSettings::FRAMMENTI, 1024},
      {"/FRAMMENTI=128", &TSettings::FRAMMENTI, 131072},
      {"/G=N", &TSettings::GRUPPI, 0},
      {"/G=OFF", &TSettings::GRUPPI, 0},
      {"/G=5", &TSettings::GRUPPI, 5},
      {"/GRUPPI=50", &TSettings::GRUPPI, 50},
      {"/P=ALTA", &TSettings::PRIORITA, 0x80},
      {"/P=2", &TSettings::PRIORITA, 0x80},
      {"/P=1", &TSettings::PRIORITA, 0x20},
      {"/PRIORITA=bassa", &TSettings::PRIORITA, 0x40},
      {"/VB=0", &TSettings::VERBOSITA, 0},
      {"/VERBOSITA=3", &TSettings::VERBOSITA, 3},
      {"/V=$8", &TSettings::VOCE, 8},
      {"/V=0X8", &TSettings::VOCE, 8},
      {"/V=x8", &TSettings::VOCE, 8},
      {"/V=uomo", &TSettings::VOCE, 1},
      {"/VOCE=Bambino", &TSettings::VOCE, 3},
      {"v = NONNO ", &TSettings::VOCE, 7},
  };
  for (const Accepted& c : cases) {
    TSettings s;
    ASSERT_TRUE(ParseSetting(c.text, s)) << c.text;
    EXPECT_EQ(s.*c.field, c.expected) << c.text;
  }
}

TEST(ParseSetting, RejectedValuesAndKeys) {
  const char* rejected[] = {
      "/X",           "/=5",     "//L=IT",    "/L=XX",          "/L=",           "/V=*",
      "/V=9",         "/V=-1",   "/V=3.0",    "/V=3K",          "/V=",           "/V=+",
      "/V=$",         "/V=0X",   "/VE=69",    "/VE=1298",       "/TO=39",        "/TO=423",
      "/VO=0",        "/VO=101", "/SA=16",    "/SA=22",         "/RS=20",        "/RS=49",
      "/BR=112",      "/BR=0",   "/I3=FORSE", "/T=X",           "/F=0",          "/F=129",
      "/G=S",         "/G=SI",   "/G=0",      "/G=4",           "/G=51",         "/RG=2",
      "/CR=",         "/IC=YES", "/PT=5001",  "/PT=-1",         "/PC=5001",      "/TI=1",
      "/P=3",         "/P=0X40", "/VB=4",     "/CC=",           "/AF=X",         "/MF=X",
      "/NONESISTE=1", "  =1",    "/VOCE",     "/V=99999999999", "/V=$100000000",
      "/V=?",         "/V=uomo3", "/V=donna 2", "/V=predefinita",
  };
  for (const char* text : rejected) {
    TSettings s;
    EXPECT_FALSE(ParseSetting(text, s)) << text;
  }
}

// Every voice's name stands for its number, and what the key takes (in the
// errors and the help) names them all.
TEST(ParseSetting, VoiceNamesAreTheirNumbers) {
  std::string values;
  for (const TSettingHelp& row : SettingsHelp())
    if (row.key == "VOCE") values = row.values;
  for (int32_t n = 1; n <= 8; ++n) {
    const std::string name = msg::kVoiceNames[n - 1];
    TSettings s;
    ASSERT_TRUE(ParseSetting("/V=" + name, s)) << name;
    EXPECT_EQ(s.VOCE, n) << name;
    const std::string listed = (n == 1 ? "(" : " ") + name + (n < 8 ? "," : ")");
    EXPECT_NE(values.find(listed), std::string::npos) << values;
  }
}

TEST(ParseSetting, FlagsTakeEveryYesAndNoWord) {
  bool TSettings::*flags[] = {&TSettings::ID3TAG,          &TSettings::RIUNISCIGRUPPI,
                              &TSettings::CARTELLEROCKBOX, &TSettings::IDENTIFICACARTELLA,
                              &TSettings::TITOLO,          &TSettings::CONFERMACANCELLA,
                              &TSettings::AVVISIFINESTRA,  &TSettings::MINIMIZZAFINESTRA,
                              &TSettings::CLIPFILE};
  const char* keys[] = {"I3", "RIUNISCIGRUPPI",    "CR", "IDENTIFICACARTELLA", "TI", "CC",
                        "AF", "MINIMIZZAFINESTRA", "CF"};
  for (size_t i = 0; i < 9; ++i) {
    for (const char* yes : {"si", "S", "On"}) {
      TSettings s;
      s.*flags[i] = false;
      ASSERT_TRUE(ParseSetting(std::string("/") + keys[i] + "=" + yes, s));
      EXPECT_TRUE(s.*flags[i]) << keys[i] << yes;
    }
    for (const char* no : {"no", "n", "OFF"}) {
      TSettings s;
      s.*flags[i] = true;
      ASSERT_TRUE(ParseSetting(std::string(keys[i]) + "=" + no, s));
      EXPECT_FALSE(s.*flags[i]) << keys[i] << no;
    }
  }
}

// V2 and MP3 switch their flag on with its variant; a yes or no word
// switches the variant off again, a refused word leaves both.
TEST(ParseSetting, TagAndClipVariants) {
  TSettings s;
  ASSERT_TRUE(ParseSetting("/I3=v2", s));
  EXPECT_TRUE(s.ID3TAG && s.ID3V2);
  EXPECT_FALSE(ParseSetting("/I3=V3", s));
  EXPECT_TRUE(s.ID3TAG && s.ID3V2);
  ASSERT_TRUE(ParseSetting("ID3TAG=S", s));
  EXPECT_TRUE(s.ID3TAG && !s.ID3V2);
  ASSERT_TRUE(ParseSetting("/CR=mp3", s));
  EXPECT_TRUE(s.CARTELLEROCKBOX && s.ROCKBOXMP3);
  ASSERT_TRUE(ParseSetting("CARTELLEROCKBOX=N", s));
  EXPECT_TRUE(!s.CARTELLEROCKBOX && !s.ROCKBOXMP3);
  EXPECT_FALSE(ParseSetting("/CR=V2", s));
  EXPECT_FALSE(ParseSetting("/I3=MP3", s));
  EXPECT_FALSE(TSettings().ID3V2 || TSettings().ROCKBOXMP3 || TSettings().CLIPFILE);
}

TEST(ParseSetting, TextsAndPauses) {
  TSettings s;
  EXPECT_TRUE(ParseSetting("/NF=abc", s));
  EXPECT_EQ(s.NOMEFILE, "ABC");
  EXPECT_TRUE(ParseSetting("/RF=a=b", s));
  EXPECT_EQ(s.RIGAFRAMMENTA, "A=B");
  EXPECT_TRUE(ParseSetting("/PT=0", s));
  EXPECT_EQ(s.PAUSATESTA, "");
  EXPECT_TRUE(ParseSetting("/PT=250", s));
  EXPECT_EQ(s.PAUSATESTA, "`p500\r\n");
  EXPECT_EQ(TSettings().PAUSACODA, "\r\n`p1000\r\n");
  EXPECT_TRUE(ParseSetting("/PC=5000", s));
  EXPECT_EQ(s.PAUSACODA, "\r\n`p10000\r\n");
  EXPECT_TRUE(ParseSetting("/PAUSACODA=0", s));
  EXPECT_EQ(s.PAUSACODA, "");
  // Paths keep their letter case: names on this system are case-sensitive.
  EXPECT_TRUE(ParseSetting("/D=  Libri/Audio  ", s));
  EXPECT_EQ(s.DESTINAZIONE, "Libri/Audio");
  EXPECT_TRUE(ParseSetting("/MP3DLL=/opt/Lame.so", s));
  EXPECT_EQ(s.MP3DLL, "/opt/Lame.so");
  EXPECT_TRUE(ParseSetting("/MP3DLL=", s));
  EXPECT_EQ(s.MP3DLL, "/opt/Lame.so");
}

TEST(ParseSetting, LayoutOptionsAreMarked) {
  for (const char* text : {"/D=", "/F=2", "/G=N", "/NF=x", "/RF=x"}) {
    TSettings s;
    ASSERT_TRUE(ParseSetting(text, s)) << text;
    EXPECT_TRUE(s.LayoutOptionsGiven) << text;
  }
  TSettings s;
  ASSERT_TRUE(ParseSetting("/L=IT", s));
  EXPECT_FALSE(s.LayoutOptionsGiven);
}

TEST(ParseSetting, EngineLibraryMustExistToCount) {
  TSettings s;
  EXPECT_TRUE(ParseSetting("/ECIDLL=/nessuna/cartella/libeci.so", s));
  EXPECT_FALSE(s.EciPathGiven);
  EXPECT_EQ(s.ECIDLL, TSettings().ECIDLL);
  EXPECT_TRUE(ParseSetting("/ECIDLL=/tmp", s));  // a folder does not count
  EXPECT_FALSE(s.EciPathGiven);
  EXPECT_TRUE(ParseSetting("/ECIDLL=/proc/self/exe", s));
  EXPECT_TRUE(s.EciPathGiven);
  EXPECT_EQ(s.ECIDLL, "/proc/self/exe");
}

// "~" is the home folder in every path setting, and a library is kept by its
// full path: a relative name lies in the folder given (the configuration
// file's) or in the current one (the command line's).
TEST(ParseSetting, HomeFolderAndFullLibraryPaths) {
  const char* home = std::getenv("HOME");
  std::optional<std::string> savedHome;
  if (home) savedHome = home;
  setenv("HOME", "/casa/utente/", 1);
  TSettings s;
  const std::pair<const char*, const char*> destinations[] = {
      {"/D=~/Musica/Libri", "/casa/utente/Musica/Libri"}, {"D=~", "/casa/utente"},
      {"/D=~mario/Libri", "~mario/Libri"},                 {"/D=Libri/~", "Libri/~"}};
  for (const auto& [text, expected] : destinations) {
    ASSERT_TRUE(ParseSetting(text, s)) << text;
    EXPECT_EQ(s.DESTINAZIONE, expected) << text;
  }
  ASSERT_TRUE(ParseSetting("MP3DLL=~/lib/../lame.so", s, "/etc/narravox/"));
  EXPECT_EQ(s.MP3DLL, "/casa/utente/lame.so");
  ASSERT_TRUE(ParseSetting("MP3DLL=lib/lame.so", s, "/etc/narravox/"));
  EXPECT_EQ(s.MP3DLL, "/etc/narravox/lib/lame.so");
  ASSERT_TRUE(ParseSetting("/MP3DLL=lame.so", s));
  EXPECT_EQ(s.MP3DLL, platform::CurrentDirectory() + "/lame.so");
  if (savedHome)
    setenv("HOME", savedHome->c_str(), 1);
  else
    unsetenv("HOME");
}

TEST(ParseSetting, LaterValueReplacesEarlierWhateverTheName) {
  TSettings s;
  EXPECT_TRUE(ParseSetting("/L=UK", s));
  EXPECT_TRUE(ParseSetting("/LINGUA=DE", s));
  EXPECT_EQ(s.LINGUA, 0x40000);
}

TEST(ParseInteger, SignsBasesAndRange) {
  int32_t n = 0;
  EXPECT_TRUE(text::ParseInteger("-2147483648", &n));
  EXPECT_EQ(n, INT32_MIN);
  EXPECT_TRUE(text::ParseInteger("$7FFFFFFF", &n));
  EXPECT_EQ(n, INT32_MAX);
  EXPECT_TRUE(text::ParseInteger("-0X10", &n));
  EXPECT_EQ(n, -16);
  EXPECT_FALSE(text::ParseInteger("2147483648", &n));
  EXPECT_FALSE(text::ParseInteger("$FFFFFFFF", &n));
  EXPECT_FALSE(text::ParseInteger("1 2", &n));
  EXPECT_FALSE(text::ParseInteger("--1", &n));
  EXPECT_FALSE(text::ParseInteger("12G", &n));
}

TEST(KhzToHz, ShortFormsOnly) {
  EXPECT_EQ(KhzToHz(11), 11025);
  EXPECT_EQ(KhzToHz(22), 22050);
  EXPECT_EQ(KhzToHz(44), 44100);
  EXPECT_EQ(KhzToHz(20), 20);
  EXPECT_EQ(KhzToHz(8000), 8000);
}

// The RecoveryFile keeps the settings that shape the files as texts that the
// parser must take back to the very same values.
TEST(RecordSettings, EveryRecordedValueReadsBackTheSame) {
  const std::vector<std::vector<std::string>> runs = {
      {},
      {"/L=UK", "/V=8", "/VE=*", "/TO=422", "/VO=*", "/SA=8", "/RS=S", "/BR=8", "/I3=S", "/T=D",
       "/RG=S", "/CR=S", "/IC=S", "/NF=cap ", "/RF=== fine ==", "/PT=5000", "/PC=0", "/TI=N"},
      {"/L=PB", "/VE=70", "/TO=40", "/RS=44100", "/T=U", "/PT=1", "/PC=4999", "/I3=V2", "/CR=MP3",
       "/CF=S"}};
  for (const auto& options : runs) {
    TSettings given;
    for (const std::string& option : options) ASSERT_TRUE(ParseSetting(option, given)) << option;
    TSettings restored;
    for (const std::string& line : RecordSettings(given))
      ASSERT_TRUE(ParseSetting(line, restored)) << line;
    EXPECT_EQ(RecordSettings(restored), RecordSettings(given));
    EXPECT_EQ(restored.VOLUME, given.VOLUME);
    EXPECT_EQ(restored.RESAMPLE, given.RESAMPLE);
    EXPECT_EQ(restored.PAUSATESTA, given.PAUSATESTA);
    EXPECT_EQ(restored.PAUSACODA, given.PAUSACODA);
    EXPECT_EQ(restored.NOMEFILE, given.NOMEFILE);
    EXPECT_EQ(restored.RIGAFRAMMENTA, given.RIGAFRAMMENTA);
  }
  // A voice given by its name is kept as its number.
  TSettings named;
  ASSERT_TRUE(ParseSetting("/V=baritono", named));
  const std::vector<std::string> record = RecordSettings(named);
  EXPECT_NE(std::find(record.begin(), record.end(), "VOCE=4"), record.end());
  for (int n = 1; n <= 100; ++n) {
    TSettings given, restored;
    ASSERT_TRUE(ParseSetting("/VO=" + std::to_string(n), given));
    for (const std::string& line : RecordSettings(given)) ParseSetting(line, restored);
    EXPECT_EQ(restored.VOLUME, given.VOLUME) << n;
  }
}

}  // namespace
