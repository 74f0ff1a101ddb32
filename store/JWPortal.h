#pragma once
// The web portal of the directory: entries without a web address of their own are shown there, at
// the portal address followed by the entry's PortalPage. A build may name another portal by
// defining JW_PORTAL_ADDRESS.

namespace jw {

#ifdef JW_PORTAL_ADDRESS
inline constexpr const char* PortalBaseAddress = JW_PORTAL_ADDRESS;
#else
inline constexpr const char* PortalBaseAddress = "www.branchenportal.example/";
#endif

}  // namespace jw
