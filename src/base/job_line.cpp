#include "base/job_line.h"

#include "base/run_state.h"
#include "text/lines.h"

namespace {

bool NeedsQuotes(const std::string& field) {
  return field.find("::") != std::string::npos || field.find_first_of("\r\n") != std::string::npos ||
         (!field.empty() && (field[0] == '"' || field[0] == '>' || field.back() == ':'));
}

std::string EncodeField(const std::string& field) {
  if (!NeedsQuotes(field)) return field;
  std::string quoted = "\"";
  for (char c : field) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\r': quoted += "\\r"; break;
      case '\n': quoted += "\\n"; break;
      default: quoted += c;
    }
  }
  return quoted + "\"";
}

// The field that starts at *at; *at moves past it.
std::string DecodeField(const std::string& line, size_t* at) {
  if (*at >= line.size() || line[*at] != '"') {
    size_t end = line.find("::", *at);
    if (end == std::string::npos) end = line.size();
    std::string field = line.substr(*at, end - *at);
    *at = end;
    return field;
  }
  std::string field;
  for (size_t i = *at + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      *at = i + 1;
      return field;
    }
    if (c != '\\') {
      field += c;
      continue;
    }
    if (++i == line.size()) break;
    switch (line[i]) {
      case '"': field += '"'; break;
      case '\\': field += '\\'; break;
      case 'r': field += '\r'; break;
      case 'n': field += '\n'; break;
      default: RaiseRecoveryFileError();
    }
  }
  RaiseRecoveryFileError();  // no closing quote
}

}  // namespace

std::string EncodeJobLine(const TJobLineFields& fields) {
  std::string line = EncodeField(fields.name);
  for (int32_t n : fields.numbers) line += "::" + std::to_string(n);
  if (!fields.folder.empty()) line += "::>" + EncodeField(fields.folder);
  return line;
}

TJobLineFields DecodeJobLine(const std::string& line) {
  TJobLineFields fields;
  size_t at = 0;
  fields.name = DecodeField(line, &at);
  while (at < line.size()) {
    if (line.compare(at, 2, "::") != 0 || !fields.folder.empty()) RaiseRecoveryFileError();
    at += 2;
    if (at < line.size() && line[at] == '>') {
      ++at;
      fields.folder = DecodeField(line, &at);
      if (fields.folder.empty()) RaiseRecoveryFileError();
      continue;
    }
    size_t end = line.find("::", at);
    if (end == std::string::npos) end = line.size();
    int32_t n = 0;
    if (fields.numbers.size() == 3 || !text::ParseInteger(line.substr(at, end - at), &n, false))
      RaiseRecoveryFileError();
    fields.numbers.push_back(n);
    at = end;
  }
  return fields;
}
