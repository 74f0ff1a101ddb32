#include "viewer/ufraJWLogo.h"

namespace jw {

TfraJWLogo::TfraJWLogo(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWLogo");
  resize(133, 57);
  imgLogo = new QLabel(this);
  imgLogo->setObjectName("imgLogo");
  imgLogo->setGeometry(0, 0, 0, 0);
}

void TfraJWLogo::SetData(TJW2DataRec* ARec) {
  TJWFrame::SetData(ARec);
  const QImage logo = BitmapToImage(ARec ? ARec->Logo.get() : nullptr);
  imgLogo->setPixmap(QPixmap::fromImage(logo));
  imgLogo->resize(logo.size());
}

}  // namespace jw
