#pragma once
#include <functional>
#include <string>

#include "store/JWError.h"

namespace jwtest {

// The message of the library failure that AWork raises, "" when it raises none.
inline std::string ErrorOf(const std::function<void()>& AWork) try {
  AWork();
  return "";
} catch (const jw::EJWError& e) {
  return e.what();
}

}  // namespace jwtest
