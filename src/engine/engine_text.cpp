#include "engine/engine_text.h"

#include <utility>
#include <vector>

#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "reading/engine_case.h"
#include "reading/italian_rules.h"

reading::TUserDictionary LoadUserDictionaries(const std::string& joined) {
  std::vector<std::pair<std::string, std::string>> files;
  for (size_t at = 0; at < joined.size();) {
    size_t end = joined.find(';', at);
    if (end == std::string::npos) end = joined.size();
    std::string path = joined.substr(at, end - at), content;
    at = end + 1;
    if (!platform::ReadWholeFile(path, &content))
      RaiseErrorWithCode(msg::kCannotReadFile, path, -1);
    files.push_back({path, content});
  }
  std::string error;
  reading::TUserDictionary dictionary = reading::TUserDictionary::Load(files, &error);
  if (!error.empty()) RaiseError(error);
  return dictionary;
}

std::string EngineText(const std::string& part, const reading::TUserDictionary& dictionary) {
  std::string text = Settings.NORMALIZZA ? reading::NormaliseItalian(part) : part;
  text = dictionary.Apply(text);
  if (Settings.MAIUSCOLE) return reading::CaseForEngine(text);
  // The engine of Windows has always been given the text in lower case.
  if (!text.empty()) platform::AnsiLower(&text[0], text.size());
  return text;
}
