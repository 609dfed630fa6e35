// Read-only access to the system registry under HKEY_LOCAL_MACHINE. Key
// paths use backslashes on every platform.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct RegistryKeyData;
using RegistryKey = RegistryKeyData*;

bool OpenRegistryKey(const std::string& path, RegistryKey* key);
void CloseRegistryKey(RegistryKey key);
// The names of the key's subkeys, in the registry's enumeration order.
std::vector<std::string> RegistrySubkeys(RegistryKey key);

enum class RegistryValueKind { Missing, String, ExpandString, Other };
// Reads a value; strings come back in their stored form (not expanded).
RegistryValueKind ReadRegistryValue(RegistryKey key, const std::string& name,
                                    std::string* value);

}  // namespace platform
