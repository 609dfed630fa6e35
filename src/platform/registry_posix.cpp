// POSIX has no registry. This read-only stand-in loads a file in the text
// form that the Windows registry editor exports, named by the environment
// variable NARRAVOX_REGISTRY; without it every key fails to open.
#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <map>

#include "platform/files.h"
#include "text/ascii.h"
#include "text/lines.h"
#include "text/utf8.h"

namespace platform {

namespace {

struct Value {
  RegistryValueKind kind = RegistryValueKind::Missing;
  std::string text;
};

struct Key {
  std::string name;                   // the last component, as written
  std::map<std::string, Value> values;  // by upper-cased value name
};

using Registry = std::map<std::string, Key>;  // by upper-cased full path

// UTF-16LE bytes to UTF-8, up to the first NUL character.
std::string Utf16ToUtf8(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint32_t unit = static_cast<unsigned char>(bytes[i]) |
                    static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (unit == 0) break;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      uint32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                     static_cast<unsigned char>(bytes[i + 3]) << 8;
      if (low >= 0xDC00 && low < 0xE000) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    text::AppendUtf8(unit, &out);
  }
  return out;
}

// "xx,xx,..." to bytes; false on a malformed list.
bool ParseHexBytes(const std::string& list, std::string* bytes) {
  bytes->clear();
  std::string digits;
  for (char c : list) {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!digits.empty()) {
        bytes->push_back(static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16)));
        digits.clear();
      }
    } else if (isxdigit(static_cast<unsigned char>(c)) && digits.size() < 2) {
      digits += c;
    } else {
      return false;
    }
  }
  if (!digits.empty())
    bytes->push_back(static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16)));
  return true;
}

// A quoted string starting at text[*pos] (the opening quote); \\ and \"
// escapes. Leaves *pos after the closing quote.
bool ParseQuoted(const std::string& text, size_t* pos, std::string* out) {
  out->clear();
  size_t i = *pos + 1;
  for (; i < text.size() && text[i] != '"'; ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    *out += text[i];
  }
  if (i >= text.size()) return false;
  *pos = i + 1;
  return true;
}

void AddKey(Registry* registry, const std::string& path) {
  // Every key implies its parents.
  for (size_t cut = path.find('\\'); ; cut = path.find('\\', cut + 1)) {
    std::string prefix = cut == std::string::npos ? path : path.substr(0, cut);
    Key& key = (*registry)[UpperAscii(prefix)];
    if (key.name.empty()) key.name = prefix.substr(prefix.rfind('\\') + 1);
    if (cut == std::string::npos) break;
  }
}

void ParseValueLine(const std::string& line, bool unicode, Key* key) {
  std::string name;
  size_t pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else if (!ParseQuoted(line, &pos, &name)) {
    return;
  }
  if (pos >= line.size() || line[pos] != '=') return;
  std::string data = line.substr(pos + 1);
  Value value;
  if (!data.empty() && data[0] == '"') {
    size_t at = 0;
    if (!ParseQuoted(data, &at, &value.text)) return;
    value.kind = RegistryValueKind::String;
  } else if (data.compare(0, 7, "hex(2):") == 0) {
    std::string bytes;
    if (!ParseHexBytes(data.substr(7), &bytes)) return;
    value.kind = RegistryValueKind::ExpandString;
    value.text = unicode ? Utf16ToUtf8(bytes) : bytes.substr(0, bytes.find('\0'));
  } else if (data == "-") {
    return;
  } else {
    value.kind = RegistryValueKind::Other;  // dword:, hex:, hex(7): ...
  }
  key->values[UpperAscii(name)] = value;
}

Registry Load() {
  Registry registry;
  const char* path = std::getenv("NARRAVOX_REGISTRY");
  std::string raw;
  if (!path || !ReadWholeFile(path, &raw)) return registry;
  std::string text;
  if (raw.size() >= 2 && raw[0] == '\xFF' && raw[1] == '\xFE') {
    text = Utf16ToUtf8(raw.substr(2) + std::string(2, '\0'));
  } else if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    text = raw.substr(3);
  } else {
    text = raw;
  }
  // Lines, with the editor's "\" continuations joined.
  std::vector<std::string> lines;
  bool continued = false;
  for (const std::string& raw_line : text::SplitLines(text)) {
    size_t start = raw_line.find_first_not_of(" \t");
    std::string piece = start == std::string::npos ? "" : raw_line.substr(start);
    if (continued) lines.back() += piece; else lines.push_back(piece);
    // The editor wraps long hex values with a final backslash; quoted
    // strings always end with their closing quote.
    continued = !lines.back().empty() && lines.back()[0] != '[' && lines.back().back() == '\\';
    if (continued) lines.back().pop_back();
  }
  size_t first = 0;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first == lines.size()) return registry;
  bool unicode = lines[first] == "Windows Registry Editor Version 5.00";
  if (!unicode && lines[first] != "REGEDIT4") return registry;
  const std::string hive = "HKEY_LOCAL_MACHINE\\";
  Key* key = nullptr;
  for (size_t i = first + 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      key = nullptr;
      size_t close = line.rfind(']');
      if (close == std::string::npos) continue;
      std::string full = line.substr(1, close - 1);
      if (UpperAscii(full.substr(0, hive.size())) != hive || full.size() == hive.size()) continue;
      std::string sub = full.substr(hive.size());
      AddKey(&registry, sub);
      key = &registry[UpperAscii(sub)];
    } else if (key) {
      ParseValueLine(line, unicode, key);
    }
  }
  return registry;
}

const Registry& TheRegistry() {
  static const Registry registry = Load();
  return registry;
}

}  // namespace

struct RegistryKeyData {
  std::string path;  // upper-cased
  const Key* key;
};

bool OpenRegistryKey(const std::string& path, RegistryKey* key) {
  auto it = TheRegistry().find(UpperAscii(path));
  if (it == TheRegistry().end()) {
    errno = ENOENT;
    return false;
  }
  *key = new RegistryKeyData{it->first, &it->second};
  return true;
}

void CloseRegistryKey(RegistryKey key) { delete key; }

std::vector<std::string> RegistrySubkeys(RegistryKey key) {
  std::vector<std::string> names;
  std::string prefix = key->path + "\\";
  const Registry& registry = TheRegistry();
  for (auto it = registry.lower_bound(prefix);
       it != registry.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (it->first.find('\\', prefix.size()) == std::string::npos)
      names.push_back(it->second.name);
  }
  return names;
}

RegistryValueKind ReadRegistryValue(RegistryKey key, const std::string& name,
                                    std::string* value) {
  value->clear();
  auto it = key->key->values.find(UpperAscii(name));
  if (it == key->key->values.end()) return RegistryValueKind::Missing;
  *value = it->second.text;
  return it->second.kind;
}

}  // namespace platform
