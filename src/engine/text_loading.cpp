// Loading a text file, deciding its character set and splitting it into lines.
#include "engine/text_loading.h"

#include <limits>
#include <new>

#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "engine/code_page_guess.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "text/utf8.h"

// OEM (code pages 437 and 850) é à è ì ò ù: 0x82 0x85 0x8A 0x8D 0x95 0x97.
const TCharSet DosAccentSet = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               0x24, 0x24, 0xA0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// Windows-1252 à è é ì ò ù: 0xE0 0xE8 0xE9 0xEC 0xF2 0xF9.
const TCharSet WindowsAccentSet = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x13, 0x04, 0x02};

int32_t TextFileSize(const std::string& path) {
  int64_t size = platform::FileSize(path);
  // Texts are measured in 32 bits; a size that does not fit counts as
  // unreadable, as a negative one does.
  if (size < 0 || size > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(size);
}

std::string LoadText(const std::string& path, int32_t size) {
  platform::FileHandle file = platform::OpenFileForReading(path);
  if (file == platform::kNoFile) RaiseErrorWithCode(msg::kFileNotFound, path, -1);

  std::string text;
  size_t wanted = size > 0 ? static_cast<size_t>(size) : 0;
  try {
    text.resize(wanted);
  } catch (const std::bad_alloc&) {
    platform::CloseFile(file);
    RaiseError(msg::kOutOfMemory);
  }

  // A file that shrank since it was measured gives what it still holds.
  size_t got = 0;
  while (got < wanted) {
    size_t done = 0;
    if (!platform::ReadFromFile(file, &text[got], wanted - got, &done)) {
      int code = platform::LastErrorCode();
      platform::CloseFile(file);
      RaiseErrorWithCode(msg::kReadError, path, code);
    }
    if (done == 0) break;
    got += done;
  }
  text.resize(got);

  if (!platform::CloseFile(file)) RaiseErrorWithCode(msg::kReadError, path, -1);
  text::DecodeUtf16Text(&text);
  return text;
}

static bool InSet(const TCharSet& set, uint8_t b) { return (set[b >> 3] >> (b & 7)) & 1; }

int32_t CountCharsInSet(const TCharSet& set, const std::string& text) {
  int32_t count = 0;
  for (char c : text) {
    uint8_t b = static_cast<uint8_t>(c);
    if (b == 0) break;
    if (InSet(set, b)) ++count;
  }
  return count;
}

void PrepareText(std::string* text, int32_t textType, bool* oemText, const std::string& name) {
  for (char& c : *text)
    if (c == 0) c = ' ';

  if (textType == kTextUtf8) {
    *text = Utf8ToAnsi(*text);
    *oemText = false;
  } else if (textType != kTextAuto && text->compare(0, 3, "\xEF\xBB\xBF") == 0) {
    // A byte-order mark leaves no doubt whatever the type says (UTF-16
    // texts come here as UTF-8 with its mark); a DOS run keeps its choice
    // for its other texts.
    *text = Utf8ToAnsi(*text);
    return;
  } else if (textType == kTextAuto) {
    TUtf8Census census = CountUtf8(*text);
    if (MostlyUtf8(census)) {
      *text = Utf8ToAnsi(*text, true);
      *oemText = false;
      if (census.invalidBytes > 0)
        PrintErrorLine(FormatText(msg::kInvalidUtf8Bytes, {name, std::to_string(census.invalidBytes)}));
    } else {
      TCodePageGuess guess = GuessCodePage(*text);
      *oemText = guess.oem;
      if (guess.doubtful)
        PrintErrorLine(FormatText(msg::kDoubtfulTextType,
                                  {*oemText ? msg::kTextTypeDos : msg::kTextTypeWindows}));
    }
  }

  if (*oemText && !text->empty()) platform::OemToAnsi(&(*text)[0], text->size());
}
