// jwshot: writes a picture of the viewer window for one entry, for looking at the viewer without
// a display.
//
//   jwshot DATADIR ENTRYID OUT.png [PAGE]
//
// PAGE is a button key ("industries", "officehours", "branches", ...) or "branchsearch" (the branch
// page with its search laid over it); without it the window is shown as it opens. Runs on Qt's
// offscreen platform when no display is set.
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "store/JWEButtons.h"
#include "viewer/JW2Form.h"
#include "viewer/JWViewerApp.h"
#include "viewer/ufraJWBranchesV2.h"

int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: jwshot DATADIR ENTRYID OUT.png [PAGE]\n");
    return 2;
  }
  try {
    jw::EnsureViewerApplication();
    int status = 0;
    {
      jw::TfrmJW form;
      form.SetFreeOnClose(false);
      form.SetDataPath(argv[1]);
      form.OpenEntry(int32_t(std::strtoul(argv[2], nullptr, 10)));
      if (argc == 5) {
        const bool branchSearch = std::strcmp(argv[4], "branchsearch") == 0;
        const char* key = branchSearch ? jw::ButtonKeyTable[jw::brBranches] : argv[4];
        int button = -1;
        for (int i = 0; i < 7; ++i)
          if (std::strcmp(key, jw::ButtonKeyTable[i]) == 0) button = i;
        if (button < 0) {
          std::fprintf(stderr, "jwshot: unknown page \"%s\"\n", argv[4]);
          return 2;
        }
        form.DoButtonEvent(jw::TJWButtonRec(button));
        if (auto* page = qobject_cast<jw::TfraJWBranchesV2*>(form.Frame(jw::TfrmJW::fraPage));
            page && branchSearch)
          page->imgSearchClick();
      }
      QImage picture(form.size(), QImage::Format_ARGB32);
      picture.fill(form.Color());
      QPainter painter(&picture);
      form.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
      painter.end();
      if (!picture.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "jwshot: cannot write %s\n", argv[3]);
        status = 1;
      }
    }
    jw::ReleaseViewerApplication();
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "jwshot: %s\n", e.what());
    return 1;
  }
}
