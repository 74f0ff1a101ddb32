#pragma once
// Tells the web host whether anything in its data and template folders may have changed since it
// last asked, so that it need not look at every file for every request. The folders are watched
// with inotify; the folders' own identities are still looked at every time, so a folder swapped
// for another (a link moved to a new release) is noticed too. Where watching is not possible (no
// inotify, a watch refused, events lost), the answer is always "may have changed".
#include <string>
#include <vector>

namespace jwhost {

class TFolderWatch {
 public:
  explicit TFolderWatch(std::vector<std::string> AFolders);
  ~TFolderWatch();
  TFolderWatch(const TFolderWatch&) = delete;
  TFolderWatch& operator=(const TFolderWatch&) = delete;

  // True on the first call, and whenever something in or of the folders changed since the last
  // call (or may have: when in doubt, true).
  bool Changed();
  // Watches these folders from the next call of Changed on (which then says true). More than
  // MaxFolders are not watched: every call says true.
  void SetFolders(std::vector<std::string> AFolders);
  static constexpr size_t MaxFolders = 256;

 private:
  bool Arm();  // (re)places the watches; false when one is refused

  std::vector<std::string> FFolders;
  std::string FFolderIds;  // identities of the folders the watches are on
  int FFd = -1;
  bool FArmed = false;
};

}  // namespace jwhost
