#pragma once
// The page frames the navigation bar switches between. Until their content is built these are
// empty frames of the pages' sizes, so that the window's placement and stacking rules already
// work; each class keeps the interface the window relies on.
#include <functional>

#include "viewer/JW2FormTypes.h"
#include "viewer/JWEFrame.h"

namespace jw {

// A page showing one list of the entry; its height follows the number of lines.
class TJWListPagePlaceholder : public TJWFrame {
  Q_OBJECT

 public:
  explicit TJWListPagePlaceholder(QWidget* AOwner, const TStringList* (*AList)(const TJW2DataRec&));
  void UpdateContent() override;
  int32_t ItemCount() const override;

 private:
  const TStringList* (*FList)(const TJW2DataRec&);
};

class TfraJWIndustries : public TJWListPagePlaceholder {
  Q_OBJECT
 public:
  Q_INVOKABLE explicit TfraJWIndustries(QWidget* AOwner = nullptr);
};

class TfraJWBusinessTypes : public TJWListPagePlaceholder {
  Q_OBJECT
 public:
  Q_INVOKABLE explicit TfraJWBusinessTypes(QWidget* AOwner = nullptr);
};

class TfraJWSearchWords : public TJWListPagePlaceholder {
  Q_OBJECT
 public:
  Q_INVOKABLE explicit TfraJWSearchWords(QWidget* AOwner = nullptr);
};

class TfraJWOfficeHours : public TJWFrame {
  Q_OBJECT
 public:
  Q_INVOKABLE explicit TfraJWOfficeHours(QWidget* AOwner = nullptr);
};

class TfraJWCardAcceptance : public TJWFrame {
  Q_OBJECT
 public:
  Q_INVOKABLE explicit TfraJWCardAcceptance(QWidget* AOwner = nullptr);
};

class TfraJWBranchesV2 : public TJWFrame {
  Q_OBJECT
 public:
  Q_INVOKABLE explicit TfraJWBranchesV2(QWidget* AOwner = nullptr);

  double StartEast = 0;
  double StartNorth = 0;
  TJWGetStartPositionFunc OnGetStartPosition;
  TJWLocateAddressFunc OnLocateAddress;
  std::function<void(const TJWBranchRec&)> OnOpenBranch;
};

}  // namespace jw
