#pragma once
// Failures inside the library are exceptions carrying the user-visible message text. The exported
// C functions catch them at the boundary; nothing of this type ever reaches a host.
#include <stdexcept>
#include <string>

namespace jw {

class EJWError : public std::runtime_error {
 public:
  explicit EJWError(const std::string& AMessage) : std::runtime_error(AMessage) {}
};

}  // namespace jw
