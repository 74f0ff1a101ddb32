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

std::vector<std::pair<std::string, platform::TFileIdentity>> TJWFolderView::Checked() const {
  std::vector<std::pair<std::string, platform::TFileIdentity>> files;
  for (const auto& [name, file] : FFiles) files.emplace_back(name, file.Identity);
  return files;
}

}  // namespace jw
