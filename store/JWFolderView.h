#pragma once
// One call's view of a folder: the folder is resolved once, when the view is made (a link to it
// is followed then and never again), every file is named relative to it, and each file's identity
// is asked once and remembered for as long as the view lives. A call that makes one view per
// folder at its start therefore reads one version of the folder's files, checks each file it uses
// exactly once, and sees any change made between two calls at the next one.
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "store/JWPlatform.h"

namespace jw {

class TJWFolderView {
 public:
  // APath names the folder as the caller gave it ("" is the current directory). With ABeneath a
  // file that a link leads out of the folder counts as Outside and is never opened.
  TJWFolderView(const std::string& APath, bool ABeneath);
  TJWFolderView(const TJWFolderView&) = delete;
  TJWFolderView& operator=(const TJWFolderView&) = delete;

  const std::string& Path() const { return FPath; }
  // False when the folder could not be opened: every file in it is then missing.
  bool IsOpen() const { return FFolder.IsOpen(); }
  // Who the folder was when the view resolved it (all zero when it could not be opened).
  const platform::TFileIdentity& Identity() const { return FFolder.Identity(); }

  struct TFile {
    platform::TFileKind Kind = platform::TFileKind::Missing;
    platform::TFileIdentity Identity;  // for a regular file
    // What a reader made of this version of the file during the view's life (e.g. a compiled
    // template), so that it is looked up once per view too.
    std::shared_ptr<const void> Made;
  };
  // ARelative as the view first saw it.
  TFile& Check(const std::string& ARelative);
  // Opens ARelative for reading (InvalidFile when it cannot be, or leads out of the folder).
  platform::TFileHandle Open(const std::string& ARelative) const;

  bool Beneath() const { return FBeneath; }

  // The folder's name and the files checked so far with what they were, kept after the call by
  // holders of answers made from them.
  struct TSnapshot;
  TSnapshot Snapshot() const;

 private:
  std::string FPath;
  bool FBeneath;
  platform::TFolder FFolder;
  std::unordered_map<std::string, TFile> FFiles;
};

// What one call found in a folder: for an answer made from those files, to tell at a later call,
// with one check per file, whether it still holds.
struct TJWFolderView::TSnapshot {
  struct TChecked {
    std::string Name;
    platform::TFileKind Kind = platform::TFileKind::Missing;
    platform::TFileIdentity Identity;
  };
  std::string Path;
  bool Beneath = false;
  std::vector<TChecked> Files;

  // True when the folder, resolved afresh, still holds each file as it was (a missing one still
  // missing, a file a link led out of still led out).
  bool Unchanged() const;
  size_t Bytes() const;  // roughly what it occupies
};

}  // namespace jw
