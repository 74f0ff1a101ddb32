// jwshot: writes a picture of the viewer window for one entry, for looking at the viewer without
// a display.
//
//   jwshot DATADIR ENTRYID OUT.png [PAGE]
//
// PAGE is a button key ("industries", "officehours", "branches", ...) or "branchsearch" (the branch
// page with its search laid over it); without it the window is shown as it opens. Runs on Qt's
// offscreen platform when no display is set. Exit codes: 0 done, 1 failure, 2 usage.
#include <QImage>
#include <cstdio>
#include <exception>
#include <string>

#include "store/JWEButtons.h"
#include "tools/jwcli.h"
#include "viewer/core/JW2Form.h"
#include "viewer/core/ufraJWBranchesV2.h"
#include "viewer/qt/JWQtPainter.h"
#include "viewer/qt/JWQtShell.h"
#include "viewer/qt/JWQtWindow.h"

int main(int argc, char** argv) {
  CLI::App app{"Writes a picture of the viewer window for one entry.", "jwshot"};
  app.set_version_flag("--version", jw::ToolVersion("jwshot"));
  std::string dataDir, out, pageName;
  uint32_t entryId = 0;
  std::vector<std::string> pages{"branchsearch"};  // every button key but the closing one
  for (int i = 0; i < jw::brClose; ++i) pages.push_back(jw::ButtonKeyTable[i]);
  app.add_option("DATADIR", dataDir, "the data directory")->required();
  app.add_option("ENTRYID", entryId, "the entry identifier")
      ->required()
      ->transform(jw::Decimal(0, UINT32_MAX));
  app.add_option("OUT.png", out, "the picture to write")->required();
  app.add_option("PAGE", pageName,
                 "the page to open: a button key, or branchsearch (the branch page with its "
                 "search open)")
      ->check(CLI::IsMember(pages));
  if (const int code = jw::ParseCommandLine(app, argc, argv); code >= 0) return code;

  try {
    jw::EnsureViewerApplication();
    int status = 0;
    {
      auto form = jw::OpenSnapshotWindow(dataDir, entryId, jw::QtMetrics());
      if (!pageName.empty()) {
        const bool branchSearch = pageName == "branchsearch";
        const std::string key = branchSearch ? jw::ButtonKeyTable[jw::brBranches] : pageName;
        int button = 0;
        while (key != jw::ButtonKeyTable[button]) ++button;
        form->DoButtonEvent(jw::TJWButtonRec(button));
        if (auto* page = dynamic_cast<jw::TfraJWBranchesV2*>(form->Frame(jw::TfrmJW::fraPage));
            page && branchSearch)
          page->imgSearchClick();
      }
      const QImage picture = jw::RenderWindow(*form, *jw::QtMetrics());
      if (!picture.save(QString::fromLocal8Bit(out.c_str()), "PNG")) {
        std::fprintf(stderr, "jwshot: cannot write %s\n", out.c_str());
        status = jw::kExitFailure;
      }
    }
    jw::ReleaseViewerApplication();
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "jwshot: %s\n", e.what());
    return jw::kExitFailure;
  }
}
