#include "base/run_results.h"

#include <cstdio>

#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "platform/charset.h"
#include "platform/files.h"

namespace {

// A JSON string: the text as UTF-8, with quotes, backslashes and control
// characters escaped.
std::string JsonString(const std::string& text) {
  const std::string utf8 = platform::FileNameToUtf8(text);
  std::string json = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      json += escaped;
    } else {
      json += static_cast<char>(c);
    }
  }
  return json + "\"";
}

std::string WithoutErrorMark(const std::string& message) {
  const std::string mark = msg::kErrorPrefix;
  return message.compare(0, mark.size(), mark) == 0 ? message.substr(mark.size()) : message;
}

}  // namespace

std::string ResultLine(const TTextResult& result) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", result.seconds);
  return "{\"text\":" + JsonString(result.text) + ",\"folder\":" + JsonString(result.folder) +
         ",\"files\":" + std::to_string(result.files) + ",\"seconds\":" + seconds +
         ",\"status\":\"" + result.status + "\",\"message\":" +
         JsonString(WithoutErrorMark(result.message)) + "}";
}

void ReportTextResult(const TTextResult& result) {
  if (Settings.RISULTATI.empty()) return;
  if (platform::AppendToFile(Settings.RISULTATI, ResultLine(result) + "\n")) return;
  PrintErrorLine(FormatText(msg::kResultsNotWritten, {result.text, Settings.RISULTATI}));
}
