#include "platform/registry.h"

#include <windows.h>

namespace platform {

struct RegistryKeyData {
  HKEY key;
};

bool OpenRegistryKey(const std::string& path, RegistryKey* key) {
  HKEY opened;
  LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &opened);
  if (result != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(result));
    return false;
  }
  *key = new RegistryKeyData{opened};
  return true;
}

void CloseRegistryKey(RegistryKey key) {
  RegCloseKey(key->key);
  delete key;
}

std::vector<std::string> RegistrySubkeys(RegistryKey key) {
  std::vector<std::string> names;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyA(key->key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::string buffer(longest + 1, '\0');
  for (DWORD index = 0; index < count; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (RegEnumKeyExA(key->key, index, &buffer[0], &length, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(buffer.data(), length);
  }
  return names;
}

RegistryValueKind ReadRegistryValue(RegistryKey key, const std::string& name,
                                    std::string* value) {
  value->clear();
  DWORD type = 0, size = 0;
  // A value that is missing, or holds no data at all, reads as empty.
  if (RegQueryValueExA(key->key, name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      size == 0)
    return RegistryValueKind::Missing;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return RegistryValueKind::Other;
  std::string buffer(size + 1, '\0');
  if (RegQueryValueExA(key->key, name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS)
    return RegistryValueKind::Missing;
  // The stored form, up to its first NUL; an expandable string stays unexpanded.
  *value = buffer.substr(0, buffer.find('\0'));
  return type == REG_SZ ? RegistryValueKind::String : RegistryValueKind::ExpandString;
}

}  // namespace platform
