#pragma once
// Window placement values in the registry: HKEY_CURRENT_USER\<key>\<section>, string values.
#include <string>

#include "viewer/core/JWWindowModel.h"

namespace jw::win32 {

class TJWRegistrySettings final : public TJWSettingsStore {
 public:
  explicit TJWRegistrySettings(std::string AKey) : FKey(std::move(AKey)) {}
  std::string Read(const std::string& ASection, const std::string& AName) override;
  // A key that is missing is created.
  void Write(const std::string& ASection, const std::string& AName,
             const std::string& AValue) override;

 private:
  std::string FKey;
};

}  // namespace jw::win32
