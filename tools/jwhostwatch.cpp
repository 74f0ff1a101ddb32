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

TFolderWatch::TFolderWatch(std::vector<std::string> ARoots)
    : FRoots(std::move(ARoots)), FFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

TFolderWatch::~TFolderWatch() {
  if (FFd >= 0) ::close(FFd);
}

void TFolderWatch::SetFolders(std::vector<std::string> AFolders) {
  if (AFolders == FFolders) return;
  FFolders = std::move(AFolders);
  FRootIds.clear();
  FArmed = FRefused = false;
}

bool TFolderWatch::Arm() {
  // A fresh descriptor drops the watches of folders no longer wanted.
  if (FFd >= 0) ::close(FFd);
  FFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (FFd < 0 || FFolders.size() > MaxFolders) return false;
  for (const auto* list : {&FRoots, &FFolders})
    for (const std::string& folder : *list)
      if (::inotify_add_watch(FFd, folder.c_str(), kEvents | IN_ONLYDIR) < 0) return false;
  return true;
}

bool TFolderWatch::Changed() {
  bool changed = false;
  // Drain every event queued so far: a change made before the request arrived is among them.
  alignas(inotify_event) char buffer[16384];
  for (ssize_t n; FFd >= 0 && (n = ::read(FFd, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    changed = true;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF))
        FArmed = FRefused = false;  // events may be lost or a watch is gone: place them again
      at += ssize_t(sizeof(inotify_event) + event->len);
    }
  }
  const std::string ids = FolderIds(FRoots);
  if (ids != FRootIds) {
    FRootIds = ids;
    FArmed = FRefused = false;
  }
  if (!FArmed) {
    // Until every watch holds, nothing can be trusted to stay the same. Watches refused once are
    // not asked for again until the folders change.
    if (!FRefused) FRefused = !(FArmed = Arm());
    return true;
  }
  return changed;
}

}  // namespace jwhost
