#pragma once
// The portal's base web address: where an entry without a web address of its own has its page
// (host name and "/", no scheme). Pages and the viewer put the entry's PortalPage after it.
#include <string>

namespace jw {

inline constexpr char kPortalBaseAddress[] = "portal.example.com/";

inline std::string PortalBaseAddress() {
  return kPortalBaseAddress;
}

}  // namespace jw
