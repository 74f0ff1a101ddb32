#pragma once
// The address block: street, town, phone numbers, and the e-mail and web links.
#include <functional>

#include "viewer/JWEFrame.h"

namespace jw {

class TfraJWAddress : public TJWFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWAddress(QWidget* AOwner = nullptr);

  void UpdateContent() override;

  void lblEMailClick();
  void lblUrlClick();

  // Hands a link to the system's browser or mail program. Replaceable so that tests can watch
  // the links without starting programs; null restores the default.
  using TLinkOpener = std::function<void(const std::string&)>;
  static void SetLinkOpener(TLinkOpener AOpener);

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  void ShowLink(QLabel* ALabel, QLabel* ACaption, QWidget* ALine, const std::string& AText);
  void Layout();
};

}  // namespace jw
