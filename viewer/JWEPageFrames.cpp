#include "viewer/JWEPageFrames.h"

namespace jw {

namespace {
constexpr int kPageWidth = 220;
constexpr int kHeaderHeight = 16;
constexpr int kLineHeight = 15;
}  // namespace

TJWListPagePlaceholder::TJWListPagePlaceholder(QWidget* AOwner,
                                               const TStringList* (*AList)(const TJW2DataRec&))
    : TJWFrame(AOwner), FList(AList) {
  resize(kPageWidth, 65);
}

int32_t TJWListPagePlaceholder::ItemCount() const {
  const TStringList* list = FData ? FList(*FData) : nullptr;
  return list ? int32_t(list->size()) : 0;
}

void TJWListPagePlaceholder::UpdateContent() {
  resize(kPageWidth, kHeaderHeight + kLineHeight * std::max(1, ItemCount()));
}

TfraJWIndustries::TfraJWIndustries(QWidget* AOwner)
    : TJWListPagePlaceholder(AOwner, [](const TJW2DataRec& ARec) { return &ARec.Industries; }) {
  setObjectName("fraJWIndustries");
}

TfraJWBusinessTypes::TfraJWBusinessTypes(QWidget* AOwner)
    : TJWListPagePlaceholder(AOwner,
                             [](const TJW2DataRec&) -> const TStringList* { return nullptr; }) {
  setObjectName("fraJWBusinessTypes");
}

TfraJWSearchWords::TfraJWSearchWords(QWidget* AOwner)
    : TJWListPagePlaceholder(AOwner, [](const TJW2DataRec& ARec) { return &ARec.Searchwords; }) {
  setObjectName("fraJWSearchWords");
}

TfraJWOfficeHours::TfraJWOfficeHours(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWOfficeHours");
  resize(kPageWidth, 160);
}

TfraJWCardAcceptance::TfraJWCardAcceptance(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWCardAcceptance");
  resize(kPageWidth, 161);
}

TfraJWBranchesV2::TfraJWBranchesV2(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWBranchesV2");
  resize(456, 215);
}

}  // namespace jw
