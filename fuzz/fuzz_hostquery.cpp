// The demo host's reading of a query string: the input up to its first line feed is the raw
// query, the rest a parameter name to look up. What the host hands the library must never hold a
// byte that could leave an attribute, open a tag or split the parameter list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "jwhost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  const std::string input(reinterpret_cast<const char*>(AData), ASize);
  const size_t lf = input.find('\n');
  const std::string query = input.substr(0, lf);
  const std::string name = lf == std::string::npos ? "page" : input.substr(lf + 1);
  const std::string decoded = jwhost::DecodeQuery(query);
  for (unsigned char c : decoded)
    if (c < 32 || c == 127 || c == '<' || c == '>' || c == '"' || c == '\'' || c == '`') abort();
  // Every pair is NAME=VALUE with a non-empty name.
  size_t start = 0;
  while (!decoded.empty() && start <= decoded.size()) {
    size_t end = decoded.find('&', start);
    if (end == std::string::npos) end = decoded.size();
    const size_t eq = decoded.find('=', start);
    if (eq == std::string::npos || eq >= end || eq == start) abort();
    start = end + 1;
  }
  jwhost::QueryValue(query, name, "0");
  return 0;
}
