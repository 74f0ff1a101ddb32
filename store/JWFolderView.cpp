#include "store/JWFolderView.h"

namespace jw {

TJWFolderView::TJWFolderView(const std::string& APath, bool ABeneath)
    : FPath(APath), FBeneath(ABeneath) {
  FFolder.Open(APath);
}

TJWFolderView::TFile& TJWFolderView::Check(const std::string& ARelative) {
  auto [it, added] = FFiles.try_emplace(ARelative);
  if (added) it->second.Kind = FFolder.KindAt(ARelative, FBeneath, it->second.Identity);
  return it->second;
}

platform::TFileHandle TJWFolderView::Open(const std::string& ARelative) const {
  return FFolder.OpenReadOnlyAt(ARelative, FBeneath);
}

TJWFolderView::TSnapshot TJWFolderView::Snapshot() const {
  TSnapshot snapshot{FPath, FBeneath, {}};
  snapshot.Files.reserve(FFiles.size());
  for (const auto& [name, file] : FFiles)
    snapshot.Files.push_back({name, file.Kind, file.Identity});
  return snapshot;
}

bool TJWFolderView::TSnapshot::Unchanged() const {
  platform::TFolder folder;
  folder.Open(Path);
  platform::TFileIdentity identity;
  for (const TChecked& file : Files) {
    identity = {};
    if (folder.KindAt(file.Name, Beneath, identity) != file.Kind || !(identity == file.Identity))
      return false;
  }
  return true;
}

size_t TJWFolderView::TSnapshot::Bytes() const {
  size_t bytes = sizeof(*this) + Path.size();
  for (const TChecked& file : Files) bytes += sizeof(file) + file.Name.size();
  return bytes;
}

}  // namespace jw
