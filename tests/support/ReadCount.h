#pragma once
// Counts the read system calls of this process, so that a test can bound the work a call does on
// a file without timing it. Linux only; elsewhere the count is unknown.
#include <cstdint>
#include <fstream>
#include <string>

namespace jwtest {

// Read system calls made so far, or -1 when the system does not tell.
inline int64_t ReadSyscalls() {
#ifdef _WIN32
  // Under Wine the Linux file of the same name exists, but counts Wine's own reads too.
  return -1;
#endif
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value)
    if (key == "syscr:") return value;
  return -1;
}

}  // namespace jwtest
