#include "jwhostwatch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace jwhost {

namespace {

constexpr uint32_t kEvents = IN_ATTRIB | IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE |
                             IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

std::string FolderIds(const std::vector<std::string>& AFolders) {
  std::string ids;
  for (const std::string& folder : AFolders) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
      ids += "-;";
      continue;
    }
    ids += std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ';';
  }
  return ids;
}

}  // namespace

TFolderWatch::TFolderWatch(std::vector<std::string> AFolders)
    : FFolders(std::move(AFolders)), FFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

TFolderWatch::~TFolderWatch() {
  if (FFd >= 0) ::close(FFd);
}

void TFolderWatch::SetFolders(std::vector<std::string> AFolders) {
  if (AFolders == FFolders) return;
  FFolders = std::move(AFolders);
  FFolderIds.clear();
  FArmed = false;
}

bool TFolderWatch::Arm() {
  if (FFolders.size() > MaxFolders) return false;
  for (const std::string& folder : FFolders)
    if (::inotify_add_watch(FFd, folder.c_str(), kEvents | IN_ONLYDIR) < 0) return false;
  return true;
}

bool TFolderWatch::Changed() {
  if (FFd < 0) return true;
  bool changed = false;
  // Drain every event queued so far: a change made before the request arrived is among them.
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(FFd, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      break;
    }
    changed = true;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF))
        FArmed = false;  // events may be lost or a watch is gone: place them again
      at += ssize_t(sizeof(inotify_event) + event->len);
    }
  }
  const std::string ids = FolderIds(FFolders);
  if (ids != FFolderIds) {
    FFolderIds = ids;
    FArmed = false;
  }
  if (!FArmed) {
    // Until every watch holds, nothing can be trusted to stay the same.
    FArmed = Arm();
    return true;
  }
  return changed;
}

}  // namespace jwhost
