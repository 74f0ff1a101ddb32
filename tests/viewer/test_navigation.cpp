// The navigation bar: which buttons, in which order, with which captions, and what pressing does.
#include <gtest/gtest.h>

#include "ViewerTestEnv.h"
#include "store/JWError.h"
#include "viewer/ufraJWNavigation.h"

using namespace jw;
using jwtest::Child;
using jwtest::Click;
using jwtest::Text;

namespace {

struct Bar {
  TfraJWNavigation Frame;
  explicit Bar(TJW2DataRec* ARec, int AButtonHeight = 16) {
    Frame.SetButtonImages(36, jwtest::Solid(140, AButtonHeight, 0xFFAABBCC),
                          jwtest::Solid(140, 20, 0xFF112233));
    Frame.SetShowLocation(true);
    Frame.SetData(ARec);
  }
  // Captions of the shown panels from top to bottom.
  std::vector<std::string> Captions() const {
    std::vector<std::pair<int, std::string>> shown;
    for (const char* suffix : {"1", "2", "3", "4", "5", "6", "7", "End"}) {
      const QWidget* panel = Child(&Frame, (std::string("pnlButton") + suffix).c_str());
      if (panel->isVisibleTo(&Frame))
        shown.emplace_back(panel->y(), Text(&Frame, (std::string("lblButton") + suffix).c_str()));
    }
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> result;
    for (auto& [top, caption] : shown) result.push_back(caption);
    return result;
  }
};

const std::string kClose =
    "Schlie\xDF"
    "en";

TJW2DataRec CardsAndHours() {
  TJW2DataRec rec;
  rec.Industries = TStringList{"Baustoffe"};
  rec.CardVisa = 1;
  rec.OfficeHoursKind = 0;
  rec.OfficeHours = TStringList{"Mo-Fr 8-18 Uhr"};
  return rec;
}

}  // namespace

TEST(Navigation, CardAcceptanceComesBeforeOfficeHoursAndCloseIsLast) {
  TJW2DataRec rec = CardsAndHours();
  Bar bar(&rec);
  EXPECT_EQ(bar.Captions(), (std::vector<std::string>{"Branchen", "Kartenakzeptanz",
                                                      "Gesch\xE4"
                                                      "ftszeiten",
                                                      kClose}));
  EXPECT_EQ(bar.Frame.ItemCount(), 4);
  // The bar is as tall as its panels: three buttons and the End button.
  EXPECT_EQ(bar.Frame.height(), 3 * 16 + 20);
  EXPECT_EQ(Child(&bar.Frame, "pnlButtonEnd")->y(), 48);
  EXPECT_EQ(bar.Frame.width(), 140);
}

TEST(Navigation, BranchButtonTakesTheEntrysCaptionAndAForcedLocationGoesBeforeIt) {
  TJW2DataRec rec;
  rec.Industries = TStringList{"Baustoffe"};
  rec.Branches = std::vector<TJWBranchRec>(2);
  rec.BranchCaption = 2;
  Bar bar(&rec);
  EXPECT_EQ(bar.Captions(), (std::vector<std::string>{"Branchen", "Niederlassungen", kClose}));
  EXPECT_FALSE(InSet(bar.Frame.ShownButtons(), brPointOfPlace));
  const int branchesTop = Child(&bar.Frame, "pnlButton2")->y();

  // Any other caption number means "Filialen"; the forced location button pushes it down.
  rec.BranchCaption = 7;
  bar.Frame.SetForceLocation(true);
  EXPECT_EQ(bar.Captions(),
            (std::vector<std::string>{"Branchen", "Standort zeigen", "Filialen", kClose}));
  EXPECT_EQ(Child(&bar.Frame, "pnlButton3")->y(), branchesTop + 16);
  EXPECT_TRUE(InSet(bar.Frame.ShownButtons(), brPointOfPlace));
}

TEST(Navigation, LabelsAreCentredOnTheirPictures) {
  TJW2DataRec rec = CardsAndHours();
  for (int height : {16, 21, 30}) {
    Bar bar(&rec, height);
    const QWidget* label = Child(&bar.Frame, "lblButton2");
    EXPECT_EQ(label->y(), height / 2 - label->height() / 2) << height;
    EXPECT_EQ(label->x(), 36);
    EXPECT_EQ(Child(&bar.Frame, "lblButtonEnd")->y(), Child(&bar.Frame, "lblButton1")->y());
  }
  // Another indent moves every caption.
  TfraJWNavigation bar;
  bar.SetButtonImages(12, jwtest::Solid(100, 16, 0xFF000000), nullptr);
  EXPECT_EQ(Child(&bar, "lblButton3")->x(), 12);
  EXPECT_EQ(bar.width(), 100);
}

TEST(Navigation, ClickingCaptionPictureOrPanelOrAVirtualClickRaisesTheButton) {
  TJW2DataRec rec = CardsAndHours();
  Bar bar(&rec);
  std::vector<TJWButtonRec> pressed;
  bar.Frame.OnButton = [&](TJWButtonRec AButton) { pressed.push_back(AButton); };
  Click(Child(&bar.Frame, "lblButton2"));
  Click(Child(&bar.Frame, "imgButton3"));
  Click(Child(&bar.Frame, "pnlButtonEnd"));
  bar.Frame.VirtualClick(brOfficeHours);
  bar.Frame.VirtualClick(brClose);  // does nothing
  EXPECT_EQ(pressed,
            (std::vector<TJWButtonRec>{brCardAcceptance, brOfficeHours, brClose, brOfficeHours}));
  EXPECT_EQ(jwtest::ErrorOf([&] { bar.Frame.VirtualClick(brBranches); }),
            "Vitual click on Button mistaked, Button isnt visible!");
  EXPECT_THROW(bar.Frame.VirtualClick(TJWButtonRec(9)), EJWError);
}

TEST(Navigation, WithoutPicturesNoButtonTakesRoom) {
  TJW2DataRec rec = CardsAndHours();
  TfraJWNavigation bar;
  bar.SetData(&rec);
  EXPECT_EQ(bar.height(), 0);
  EXPECT_EQ(Child(&bar, "pnlButton1")->size(), QSize(0, 0));
}
