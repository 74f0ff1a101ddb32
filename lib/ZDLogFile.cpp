#include "ZDLogFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>

#include "store/JWError.h"
#include "store/JWPlatform.h"

namespace jw {

namespace {

std::string ExecutableLogName() {
  std::filesystem::path exe = platform::ExecutablePath();
  if (exe.filename().empty()) exe = "JWLIB";
  // replace_extension also appends when the name has no extension.
  return exe.filename().replace_extension(".log").string();
}

// Both are set up while the library is loaded, before any export can run.
const std::string LogName = ExecutableLogName();
std::mutex LogLock;

void ReplaceAll(std::string& AText, std::string_view AFrom) {
  for (size_t pos = AText.find(AFrom); pos != std::string::npos; pos = AText.find(AFrom, pos + 1))
    AText.replace(pos, AFrom.size(), " ");
}

std::string TimestampPrefix() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = platform::LocalTime(now);
  char buf[32];
  const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S | ", &local);
  return std::string(buf, n);
}

[[noreturn]] void ThrowLogError(const char* AWhat, int AErrno) {
  throw EJWError(std::string("Cannot ") + AWhat + " log file \"" + LogName +
                 "\": " + std::strerror(AErrno));
}

}  // namespace

const std::string& LogFileName() {
  return LogName;
}

std::string FoldLineBreaks(std::string AMessage) {
  // The pairs first, so that a CR LF line break becomes one blank, not two.
  ReplaceAll(AMessage, "\n\r");
  ReplaceAll(AMessage, "\r\n");
  ReplaceAll(AMessage, "\n");
  ReplaceAll(AMessage, "\r");
  return AMessage;
}

void WriteLog(const std::string& AMessage) {
  const std::string line = TimestampPrefix() + FoldLineBreaks(AMessage) + "\r\n";
  std::lock_guard<std::mutex> lock(LogLock);
  // Opened and closed per line: the name is relative, so each line follows the current directory.
  std::FILE* f = std::fopen(LogName.c_str(), "ab");
  if (!f) ThrowLogError("open", errno);
  const bool written = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  const int writeErrno = errno;
  if (std::fclose(f) != 0 && written) ThrowLogError("close", errno);
  if (!written) ThrowLogError("write", writeErrno);
}

}  // namespace jw
