#include "ZDLogFile.h"

#include <cerrno>
#include <chrono>
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
    AText.replace(pos, AFrom.size(), 1, ' ');
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

// What makes two failures the same: the export's name and the failure's message, not the
// arguments (a client walking every entry while a data file is missing fails the same way each
// time). The call's arguments end with the last " ): " (a query may contain one, a message not).
std::string RepeatKey(const std::string& AMessage) {
  const size_t call = AMessage.rfind(" ): ");
  if (AMessage.compare(0, 3, "JW_") != 0 || call == std::string::npos) return AMessage;
  return AMessage.substr(0, AMessage.find('(')) + AMessage.substr(call + 4);
}

// The failure last written and what came after it like it; guarded by LogLock.
struct TRepeats {
  std::string Key;
  std::filesystem::path File;  // the file its line went to (the name follows the current folder)
  std::chrono::steady_clock::time_point Since;
  std::string Last;  // the latest repeat, folded
  long long Count = 0;
};
TRepeats Repeats;

// Appends ALine to APath, first moving a file that would grow past MaxLogBytes aside.
void AppendLine(const std::filesystem::path& APath, const std::string& ALine) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(APath, ec);
  if (!ec && size + ALine.size() > uint64_t(MaxLogBytes)) {
    std::filesystem::path old = APath;
    old += ".1";
    std::filesystem::rename(APath, old, ec);  // a failure leaves the file growing, not lost
  }
  // Opened and closed per line: the name is relative, so each line follows the current directory.
  std::FILE* f = std::fopen(APath.string().c_str(), "ab");
  if (!f) ThrowLogError("open", errno);
  const bool written = std::fwrite(ALine.data(), 1, ALine.size(), f) == ALine.size();
  const int writeErrno = errno;
  if (std::fclose(f) != 0 && written) ThrowLogError("close", errno);
  if (!written) ThrowLogError("write", writeErrno);
}

// The count of repeats, written once they end; a file gone since is no failure of this call.
void FlushRepeats() {
  if (Repeats.Count > 0) {
    try {
      AppendLine(Repeats.File, TimestampPrefix() + Repeats.Last + " (" +
                                   std::to_string(Repeats.Count) + " times)\r\n");
    } catch (const EJWError&) {
    }
  }
  Repeats = {};
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
  std::string folded = FoldLineBreaks(AMessage);
  std::string key = RepeatKey(folded);
  const auto now = std::chrono::steady_clock::now();
  std::error_code ec;
  std::filesystem::path file = std::filesystem::absolute(LogName, ec);
  if (ec) file = LogName;
  std::lock_guard<std::mutex> lock(LogLock);
  if (key == Repeats.Key && file == Repeats.File &&
      now - Repeats.Since < std::chrono::seconds(RepeatWindowSeconds)) {
    ++Repeats.Count;
    Repeats.Last = std::move(folded);
    return;
  }
  FlushRepeats();
  AppendLine(file, TimestampPrefix() + folded + "\r\n");
  Repeats.Key = std::move(key);
  Repeats.File = std::move(file);
  Repeats.Since = now;
}

}  // namespace jw
