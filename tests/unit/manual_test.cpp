// The manual page against the settings table that "--help" is made from:
// every setting has one entry, under its group, that says what the help
// says of it, and groff formats the page without a warning.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/messages.h"
#include "config/parse_setting.h"
#include "text/accents.h"

namespace {

struct TLine {
  size_t indent = 0;
  std::string text;  // without the leading blanks
};

struct TRenderedPage {
  bool groffFound = false;
  int status = -1;
  std::vector<TLine> lines;
  std::string warnings;
};

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

// The plain text of a terminal rendering: overstrikes and escape sequences
// gone, the typographic quotes and dashes of -Tutf8 back to ASCII.
std::string PlainText(const std::string& rendered) {
  std::string plain;
  for (size_t i = 0; i < rendered.size(); ++i) {
    if (rendered[i] == '\b') {
      if (!plain.empty()) plain.pop_back();  // "x\bx" bold, "_\bx" underlined
      continue;
    }
    if (rendered[i] == '\x1b') {
      while (i < rendered.size() && rendered[i] != 'm') ++i;
      continue;
    }
    plain += rendered[i];
  }
  for (const char* quote : {"\xE2\x80\x99", "\xE2\x80\x98"}) ReplaceAll(plain, quote, "'");
  for (const char* dash : {"\xE2\x80\x90", "\xE2\x88\x92", "\xE2\x80\x91"}) ReplaceAll(plain, dash, "-");
  ReplaceAll(plain, "\xCB\x9C", "~");
  ReplaceAll(plain, "\xCB\x86", "^");
  ReplaceAll(plain, "\xE2\x80\x9C", "\"");
  ReplaceAll(plain, "\xE2\x80\x9D", "\"");
  return plain;
}

TRenderedPage Render() {
  TRenderedPage page;
  page.groffFound = std::system("command -v groff >/dev/null 2>&1") == 0;
  if (!page.groffFound) return page;
  char errors[] = "/tmp/narravox_manual_XXXXXX";
  const int fd = mkstemp(errors);
  if (fd < 0) return page;
  close(fd);
  // Long lines, so that an entry's text wraps as little as possible; no
  // hyphenation and no overstriking, so that words stay whole.
  const std::string command =
      "groff -k -man -Tutf8 -ww -rLL=200n -rHY=0 -P-c -P-b -P-o -P-u '" MANUAL_PAGE "' 2>'" +
      std::string(errors) + "'";
  std::string rendered;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) rendered.append(buffer, got);
    page.status = pclose(pipe);
  }
  std::ifstream warnings(errors);
  std::ostringstream text;
  text << warnings.rdbuf();
  page.warnings = text.str();
  std::remove(errors);

  std::istringstream lines(PlainText(rendered));
  for (std::string line; std::getline(lines, line);) {
    TLine entry;
    entry.indent = line.find_first_not_of(' ');
    if (entry.indent == std::string::npos) entry.indent = 0;
    entry.text = line.substr(entry.indent);
    while (!entry.text.empty() && (entry.text.back() == ' ' || entry.text.back() == '\r'))
      entry.text.pop_back();
    page.lines.push_back(entry);
  }
  return page;
}

const TRenderedPage& Page() {
  static const TRenderedPage page = Render();
  return page;
}

#define SKIP_WITHOUT_GROFF()                                     \
  do {                                                           \
    if (!Page().groffFound) GTEST_SKIP() << "groff is missing"; \
  } while (false)

// The indentation of a section's text, and so of the tags of its entries:
// that of the line after the first heading.
size_t SectionIndent() {
  static const size_t indent = [] {
    const std::vector<TLine>& lines = Page().lines;
    for (size_t i = 0; i + 1 < lines.size(); ++i)
      if (lines[i].indent == 0 && lines[i].text == "NOME") return lines[i + 1].indent;
    return size_t{0};
  }();
  return indent;
}

// Where a .TP tag stands: at the section's indentation (its text is
// indented further, on the next lines or after a short tag on its line).
bool IsTag(const std::vector<TLine>& lines, size_t i) {
  return !lines[i].text.empty() && lines[i].indent == SectionIndent();
}

// The tag lines that begin with keys, as "/VE, /VELOCITA=n" begins with
// "/VE, /VELOCITA" (and "/V, /VOCE=n" does not begin with "/VE").
std::vector<size_t> TagsOf(const std::string& keys) {
  const std::vector<TLine>& lines = Page().lines;
  std::vector<size_t> found;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& text = lines[i].text;
    if (text.compare(0, keys.size(), keys) != 0 || !IsTag(lines, i)) continue;
    const char after = text.size() > keys.size() ? text[keys.size()] : ' ';
    if (after == '=' || after == ' ' || after == '[' || after == ',') found.push_back(i);
  }
  return found;
}

// The text of the entry whose tag is line tag: the tag and the lines after
// it up to the next line that is not indented further, joined, with every
// run of blanks made one.
std::string EntryText(size_t tag) {
  const std::vector<TLine>& lines = Page().lines;
  std::string joined = lines[tag].text;
  for (size_t i = tag + 1; i < lines.size(); ++i) {
    if (!lines[i].text.empty() && lines[i].indent <= lines[tag].indent) break;
    joined += " " + lines[i].text;
  }
  std::string collapsed;
  for (char c : joined)
    if (c != ' ' || (!collapsed.empty() && collapsed.back() != ' ')) collapsed += c;
  if (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  return collapsed;
}

std::string Title(const char* helpTitle) {
  std::string title = helpTitle;
  if (!title.empty() && title.back() == ':') title.pop_back();
  return title;
}

std::string GroupTitle(TSettingGroup group) {
  switch (group) {
    case TSettingGroup::Reading: return Title(msg::kHelpGroupReading);
    case TSettingGroup::Writing: return Title(msg::kHelpGroupWriting);
    case TSettingGroup::Voice: return Title(msg::kHelpGroupVoice);
    case TSettingGroup::Files: return Title(msg::kHelpGroupFiles);
    case TSettingGroup::Running: break;
  }
  return Title(msg::kHelpGroupRunning);
}

// The subsection a line lies in: the last heading above it among the
// groups of the help and the requests, or "" when none.
std::string SubsectionOf(size_t line) {
  const std::vector<TLine>& lines = Page().lines;
  const std::vector<std::string> headings = {
      GroupTitle(TSettingGroup::Reading), GroupTitle(TSettingGroup::Writing),
      GroupTitle(TSettingGroup::Voice),   GroupTitle(TSettingGroup::Files),
      GroupTitle(TSettingGroup::Running), "Richieste"};
  for (size_t i = line; i-- > 0;) {
    if (lines[i].indent >= lines[line].indent) continue;
    for (const std::string& heading : headings)
      if (lines[i].text == heading) return heading;
    if (!lines[i].text.empty() && lines[i].indent == 0) return std::string();  // a section
  }
  return std::string();
}

// The long help lists every row of the settings table once, under the
// title of its group, with what the row takes and its default.
TEST(LongHelp, EverySettingOnceUnderItsGroup) {
  const std::string help = LongHelpText();
  const std::vector<TSettingHelp> rows = SettingsHelp();
  const char* titles[] = {msg::kHelpGroupReading, msg::kHelpGroupWriting, msg::kHelpGroupVoice,
                          msg::kHelpGroupFiles, msg::kHelpGroupRunning};
  for (const TSettingHelp& row : rows) {
    const std::string line = "\r\n  " + HelpKeys(row) + ": " + row.summary + "; " + row.values +
                             " (predefinito: " + row.defaultValue + ")\r\n";
    const size_t at = help.find(line);
    ASSERT_NE(at, std::string::npos) << line;
    EXPECT_EQ(help.find(line, at + 1), std::string::npos) << line;
    // The last group title before the line is the row's own.
    size_t best = 0;
    const char* title = nullptr;
    for (const char* t : titles) {
      size_t found = help.rfind(t, at);
      if (found != std::string::npos && found >= best) best = found, title = t;
    }
    EXPECT_EQ(title, titles[static_cast<int>(row.group)]) << row.key;
  }
}

TEST(ManualPage, GroffFormatsItWithoutWarnings) {
  SKIP_WITHOUT_GROFF();
  EXPECT_EQ(Page().status, 0);
  EXPECT_EQ(Page().warnings, "");
  EXPECT_GT(Page().lines.size(), 100u);
}

TEST(ManualPage, EverySettingHasOneEntryInItsGroupWithWhatTheHelpSays) {
  SKIP_WITHOUT_GROFF();
  for (const TSettingHelp& row : SettingsHelp()) {
    const std::string keys = HelpKeys(row);
    SCOPED_TRACE(keys);
    const std::vector<size_t> tags = TagsOf(keys);
    if (tags.size() != 1) {
      ADD_FAILURE() << tags.size() << " entries for " << keys;
      continue;
    }
    EXPECT_EQ(SubsectionOf(tags[0]), GroupTitle(row.group));
    const std::string entry = EntryText(tags[0]);
    EXPECT_NE(entry.find(text::WithAccents(row.summary)), std::string::npos) << entry;
    EXPECT_NE(entry.find(text::WithAccents(row.values)), std::string::npos) << entry;
    const std::string byDefault = "Predefinito: " + text::WithAccents(row.defaultValue) + ".";
    EXPECT_NE(entry.find(byDefault), std::string::npos) << entry;
  }
}

TEST(ManualPage, ListsTheRequestsOfTheHelp) {
  SKIP_WITHOUT_GROFF();
  for (const char* request :
       {"/TEST", "/ELENCO, --elenco", "/R, /RIPRENDI", "/ECISETUP", "--voci", "--prova-voce", "-h, --help", "\"/?\"",
        "--version", "--"}) {
    SCOPED_TRACE(request);
    const std::vector<size_t> tags = TagsOf(request);
    ASSERT_FALSE(tags.empty());
    EXPECT_EQ(SubsectionOf(tags[0]), "Richieste");
  }
}

}  // namespace
