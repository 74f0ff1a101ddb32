// Renders every page of a few sample entries off screen with the platform's painter in test
// rendering (no antialiasing): the Qt painter on Linux and the GDI painter under Wine must draw the
// same display lists with the same pixels outside the native controls' rectangles.
//   render DATA_DIR OUT_DIR   a BMP and a dump per page, and the thumbnail (<entry>-thumb.bmp)
//   fontcheck                 (Windows) fails unless Arial is drawn as Liberation Sans
//   compare DIR_A DIR_B       (Linux) exit 0 when all pages agree
//   comparebmp A B N          (Linux) exit 0 when at most N pixels differ
//   topng IN.bmp OUT.png      (Linux) converts a screenshot
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "BmpGen.h"
#include "store/JWBmpDecode.h"
#include "store/JWError.h"
#include "viewer/core/JW2Form.h"
#include "viewer/core/ufraJWNavigation.h"

#ifdef _WIN32
#include "viewer/win32/JWGdiPainter.h"
#else
#include <QImage>

#include "viewer/qt/JWQtPainter.h"
#include "viewer/qt/JWQtShell.h"
#endif

using namespace jw;

namespace {

constexpr uint32_t Entries[] = {2001, 1006, 1011};

void WriteBmp(const std::string& AName, const TJWBitmap& APicture) {
  const std::vector<uint8_t> bmp = jwtest::MakeBmp24(APicture);
  std::ofstream(AName, std::ios::binary) << std::string(bmp.begin(), bmp.end());
}

#ifdef _WIN32
using TMetrics = win32::TJWGdiMetrics;
TJWBitmap Draw(const TJWDisplayList& AList, TMetrics& AMetrics) {
  win32::TJWDibCanvas canvas(TfrmJW::kClientWidth, TfrmJW::kClientHeight);
  win32::TJWGdiPainter painter(canvas, AMetrics.Fonts());
  const TJWRect all{0, 0, canvas.Width(), canvas.Height()};
  painter.Fill(all, 0xFFFFFF, all);
  painter.Paint(AList, 0, 0, all);
  return canvas.ToBitmap();
}
TJWBitmap DrawWindow(TfrmJW& AForm, TMetrics& AMetrics) {
  return win32::RenderOffscreen(AForm, AMetrics);
}
#else
using TMetrics = TJWQtTextMetrics;
TJWBitmap Draw(const TJWDisplayList& AList, TMetrics&) {
  const int32_t w = TfrmJW::kClientWidth, h = TfrmJW::kClientHeight;
  return {w, h, RenderDisplayListBGRA(AList, w, h, 0xFFFFFF)};
}
TJWBitmap DrawWindow(TfrmJW& AForm, TMetrics& AMetrics) {
  const QImage image = RenderWindow(AForm, AMetrics);
  TJWBitmap picture{image.width(), image.height(), {}};
  for (int32_t y = 0; y < picture.Height; ++y)
    for (int32_t x = 0; x < picture.Width; ++x)
      picture.Pixels.push_back(image.pixel(x, y) | 0xFF000000u);
  return picture;
}
#endif

// The pages are laid out with one metric on both platforms, so that both painters get the same
// display lists: Qt and GDI measure some texts a pixel apart.
class TLayoutMetrics final : public TJWTextMetrics {
 public:
  int32_t TextWidth(const TJWFont& AFont, std::string_view AText) override {
    return int32_t(AText.size()) * (AFont.PixelHeight + (AFont.Bold ? 2 : 0)) / 2;
  }
  int32_t Ascent(const TJWFont& AFont) override { return AFont.PixelHeight * 4 / 5; }
  int32_t LineHeight(const TJWFont& AFont) override { return AFont.PixelHeight * 6 / 5; }
};

int Render(const std::string& ADataPath, const std::string& AOut) {
  auto metrics = std::make_shared<TMetrics>();
  auto layout = std::make_shared<TLayoutMetrics>();
  for (uint32_t id : Entries) {
    const std::string entry = AOut + "/" + std::to_string(id);
    WriteBmp(entry + "-thumb.bmp",
             DrawWindow(*OpenSnapshotWindow(ADataPath, id, metrics), *metrics));
    const TJWButtonSet shown =
        OpenSnapshotWindow(ADataPath, id, metrics)->Navigation()->ShownButtons();
    for (int button = brIndustries; button <= brBranches; ++button) {
      if (button == brPointOfPlace || !(shown & (1u << button))) continue;
      std::unique_ptr<TfrmJW> form = OpenSnapshotWindow(ADataPath, id, layout);
      form->DoButtonEvent(TJWButtonRec(button));
      const TJWDisplayList list = form->Paint(*layout);
      std::ofstream(entry + "-" + std::to_string(button) + ".txt", std::ios::binary) << list.Dump();
      WriteBmp(entry + "-" + std::to_string(button) + ".bmp", Draw(list, *metrics));
    }
  }
  return 0;
}

#ifdef _WIN32
// Arial must come out as Liberation Sans, or the pictures cannot agree with the Linux ones.
int FontCheck() {
  const std::string sample = "Hamburgefonstiv \xC4\xD6\xDC\xDF 0123456789";
  TMetrics metrics;
  auto draw = [&](const char* AFamily) {
    return Draw({{TJWText{2, 2, {0, 0, 705, 40}, {AFamily, 16}, 0, sample}}, {}}, metrics).Pixels;
  };
  if (draw("Arial") != draw("Liberation Sans") ||
      draw("Liberation Sans") == draw("Liberation Serif")) {
    std::cerr << "jwrenderpages: Wine does not map Arial to Liberation Sans (install "
                 "fonts-liberation; do not install Wine's own fonts)\n";
    return 1;
  }
  std::cout << "Arial is drawn as Liberation Sans\n";
  return 0;
}
#else
std::string ReadFile(const std::string& AName) {
  std::ifstream in(AName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TJWBitmap ReadBmp(const std::string& AName) {
  const std::string file = ReadFile(AName);
  if (file.empty()) throw EJWError("No picture " + AName);
  return DecodeBmp({reinterpret_cast<const uint8_t*>(file.data()), file.size()});
}

// Whether at most AAllowed pixels of two pictures differ outside AMasks; prints what differs.
bool SamePictures(const std::string& AName, const TJWBitmap& A, const TJWBitmap& B,
                  const std::vector<TJWRect>& AMasks = {}, int AAllowed = 0) {
  if (A.Width != B.Width || A.Height != B.Height) {
    std::cerr << AName << ": the sizes differ\n";
    return false;
  }
  int differing = 0, firstX = 0, firstY = 0;
  for (int32_t y = 0; y < A.Height; ++y)
    for (int32_t x = 0; x < A.Width; ++x) {
      bool masked = false;
      for (const TJWRect& m : AMasks) masked = masked || m.Contains(x, y);
      if (masked || A.Pixel(x, y) == B.Pixel(x, y)) continue;
      if (differing++ == 0) firstX = x, firstY = y;
    }
  if (differing > AAllowed)
    std::cerr << AName << ": " << differing << " pixels differ, the first at " << firstX << ","
              << firstY << "\n";
  return differing <= AAllowed;
}

int Compare(const std::string& AFirst, const std::string& ASecond) {
  int failures = 0, pages = 0;
  for (uint32_t id : Entries)
    for (int button = brIndustries; button <= brBranches; ++button) {
      const std::string name = std::to_string(id) + "-" + std::to_string(button);
      const std::string dump = ReadFile(AFirst + "/" + name + ".txt");
      if (dump.empty()) continue;
      ++pages;
      if (dump != ReadFile(ASecond + "/" + name + ".txt")) {
        std::cerr << name << ": the display lists differ\n";
        ++failures;
        continue;
      }
      std::vector<TJWRect> masks;  // the native controls' slots
      std::istringstream lines(dump);
      TJWRect r;
      for (std::string line; std::getline(lines, line);)
        if (std::sscanf(line.c_str(), "slot %*d %*s %d,%d %dx%d", &r.Left, &r.Top, &r.Width,
                        &r.Height) == 4)
          masks.push_back(r);
      failures += !SamePictures(name, ReadBmp(AFirst + "/" + name + ".bmp"),
                                ReadBmp(ASecond + "/" + name + ".bmp"), masks);
    }
  std::cout << pages << " pages compared, " << failures << " differ\n";
  return failures == 0 && pages > 0 ? 0 : 1;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  try {
#ifdef _WIN32
    win32::SetPlainTextRendering(true);
    if (mode == "fontcheck") return FontCheck();
#else
    SetTestRendering(true);
    EnsureViewerApplication();
    if (mode == "compare" && argc == 4) return Compare(argv[2], argv[3]);
    if (mode == "topng" && argc == 4) return QImage(argv[2]).save(argv[3], "PNG") ? 0 : 1;
    if (mode == "comparebmp" && argc == 5)
      return SamePictures(argv[3], ReadBmp(argv[2]), ReadBmp(argv[3]), {}, std::atoi(argv[4])) ? 0
                                                                                               : 1;
#endif
    if (mode == "render" && argc == 4) return Render(argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::cerr << "jwrenderpages: " << e.what() << "\n";
    return 1;
  }
  std::cerr << "usage: jwrenderpages render DATA_DIR OUT_DIR | fontcheck | compare DIR_A DIR_B\n";
  return 2;
}
