#pragma once
// Tells the web host whether anything in its template folder may have changed since it last
// asked, so that it need not look at every file for every request. The folders are watched with
// inotify: the root folders, every subfolder and the folders that linked files lead to, so a
// change behind a link is seen as well. The roots' own identities are looked at every time, so a
// root swapped for another (a link moved to a new release) is noticed too. Where watching is not
// possible (no inotify, a watch refused, events lost), the answer is always "may have changed".
#include <string>
#include <vector>

namespace jwhost {

class TFolderWatch {
 public:
  explicit TFolderWatch(std::vector<std::string> ARoots);
  ~TFolderWatch();
  TFolderWatch(const TFolderWatch&) = delete;
  TFolderWatch& operator=(const TFolderWatch&) = delete;

  // True on the first call, and whenever something in or of the folders changed since the last
  // call (or may have: when in doubt, true).
  bool Changed();
  // Watches these folders besides the roots from the next call of Changed on (which then says
  // true). Beyond MaxFolders, or when the system refuses a watch, nothing is watched and every
  // call says true.
  void SetFolders(std::vector<std::string> AFolders);
  // Whether every watch holds, so that a false from Changed can be trusted.
  bool Watching() const { return FArmed; }
  static constexpr size_t MaxFolders = 8192;

 private:
  bool Arm();  // (re)places the watches; false when one is refused

  std::vector<std::string> FRoots, FFolders;
  std::string FRootIds;  // identities of the roots the watches are on
  int FFd = -1;
  bool FArmed = false;
  bool FRefused = false;  // the last Arm failed
};

}  // namespace jwhost
