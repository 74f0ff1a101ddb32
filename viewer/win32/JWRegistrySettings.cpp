#include "viewer/win32/JWRegistrySettings.h"

#include <windows.h>

#include <vector>

#include "store/JWError.h"

namespace jw::win32 {

std::string TJWRegistrySettings::Read(const std::string& ASection, const std::string& AName) {
  HKEY key = nullptr;
  const std::string path = FKey + "\\" + ASection;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return "";
  std::string result;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, AName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key, AName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) == ERROR_SUCCESS)
      result = buffer.data();  // stops at the stored terminating zero, if any
  }
  RegCloseKey(key);
  return result;
}

void TJWRegistrySettings::Write(const std::string& ASection, const std::string& AName,
                                const std::string& AValue) {
  HKEY key = nullptr;
  const std::string path = FKey + "\\" + ASection;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) {
    status =
        RegSetValueExA(key, AName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(AValue.c_str()),
                       DWORD(AValue.size() + 1));
    RegCloseKey(key);
  }
  if (status != ERROR_SUCCESS)
    throw EJWError("Registry value \"" + path + "\\" + AName + "\" cannot be written!");
}

}  // namespace jw::win32
