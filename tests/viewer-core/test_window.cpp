// The window's rules beyond what the page dumps show: buttons, links, host routines, branch
// windows, closing, and the placement rules.
#include <gtest/gtest.h>

#include <map>

#include "CoreFixture.h"
#include "ErrorOf.h"
#include "viewer/core/JWEInfoFrames.h"
#include "viewer/core/JWEListFrame.h"
#include "viewer/core/ufraJWBranchesV2.h"
#include "viewer/core/ufraJWNavigation.h"
#include "viewer/core/ufraJWOfficeHours.h"

using namespace jw;
using namespace jwtest;

namespace {

void JWAPI PointOfPlace(const JWPointOfPlaceRec*) {}

using WindowTest = TWithSample<>;

TEST_F(WindowTest, ButtonsBarClicksLinksAndEscReachTheirTargetsAndFailuresCarryMessages) {
  auto form = Dir->Open(TSampleDir::kChain);
  std::vector<std::string> urls;
  int closed = 0, repaints = 0;
  form->OnOpenUrl = [&](const std::string& AUrl) { urls.push_back(AUrl); };
  form->OnClose = [&] { ++closed; };
  form->OnInvalidate = [&] { ++repaints; };
  auto logoShown = [&] { return form->Frame(TfrmJW::fraLogo)->Visible; };
  ASSERT_TRUE(form->Frame(TfrmJW::fraLogo) && logoShown());
  // The branch page reaches below the logo's top and covers the address block.
  form->DoButtonEvent(brBranches);
  EXPECT_FALSE(logoShown());
  EXPECT_EQ(form->CursorAt(100 + 245, 163 + 10), TJWCursor::crHand);  // its search button
  const auto& card = form->Navigation()->Panels()[3];
  const TJWRect bar = form->Navigation()->Bounds;
  form->Click(bar.Left + 2, bar.Top + card.Rect.Top + 2);
  EXPECT_TRUE(logoShown());
  EXPECT_EQ(form->Frame(TfrmJW::fraPage)->Bounds.Height, 27 * 4);  // three cards
  EXPECT_GT(repaints, 0);
  EXPECT_EQ(form->CursorAt(bar.Left + 2, bar.Top + card.Rect.Top + 2), TJWCursor::crArrow);
  EXPECT_EQ(form->CursorAt(bar.Left + card.Label.Left + 1, bar.Top + card.Label.Top + 1),
            TJWCursor::crHand);
  // The address block's links: the web address is shortened, its hint is whole.
  const TJWFrame* address = form->Frame(TfrmJW::fraAddress);
  for (const auto& row : static_cast<const TfraJWAddress*>(address)->Rows()) {
    const int32_t x = address->Bounds.Left + row.Rect.Left + 1;
    const int32_t y = address->Bounds.Top + row.Rect.Top + 1;
    EXPECT_EQ(form->ToolTipAt(x, y), row.Link ? row.Hint : "");
    if (row.Link) form->Click(x, y);
  }
  EXPECT_EQ(urls, (std::vector<std::string>{"mailto:info@sonnenkorn-backstube.example",
                                            "http://www.sonnenkorn-backstube.example"}));
  form->Key(TJWKey::kEscape);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(ErrorOf([&] { form->DoButtonEvent(TJWButtonRec(8)); }), "Event \"8\" is unknown!");
  EXPECT_EQ(ErrorOf([&] { Dir->Open(TSampleDir::kBare)->Navigation()->VirtualClick(brBranches); }),
            "Vitual click on Button mistaked, Button isnt visible!");
  EXPECT_EQ(ErrorOf([&] { form->OpenEntry(4711); }), "#4711 JW Eintrag nicht gefunden!");
}

TEST_F(WindowTest, LocationButtonHandsTheHostAllTextFields) {
  auto form = Dir->Open(TSampleDir::kFull);
  std::vector<TJWPointOfPlaceRec> received;
  form->OnPointOfPlace = [&](const TJWPointOfPlaceRec& ARec) { received.push_back(ARec); };
  const TJWFrame* page = form->Frame(TfrmJW::fraPage);
  form->EntryRec().ExtraText1 = std::string(300, 'x');
  form->DoButtonEvent(brPointOfPlace);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(form->Frame(TfrmJW::fraPage), page);  // the page stays
  const TJWPointOfPlaceRec& rec = received[0];
  EXPECT_EQ(ShortStringText(rec.ExtraText1), std::string(255, 'x'));
  EXPECT_EQ(ShortStringText(rec.Id) + "|" + ShortStringText(rec.NamePart3) + "|" +
                ShortStringText(rec.StreetAdd) + "|" + ShortStringText(rec.PosY),
            "1006|Gr\366\337er|-33|50574000");
  EXPECT_EQ(reinterpret_cast<const char*>(&rec.PosY) - reinterpret_cast<const char*>(&rec),
            30 * 256);
  form->OnPointOfPlace = nullptr;
  form->DoButtonEvent(brPointOfPlace);
  EXPECT_EQ(received.size(), 1u);
}

TEST_F(WindowTest, ShowFormAppliesTheHostsRoutinesAndTheStartPage) {
  TJWShowFormArgs args;
  args.DataPath = Dir->Path(), args.EntryId = TSampleDir::kBare, args.StartIndex = 9;
  args.ForceLocation = true;  // not honoured without a point-of-place routine
  TJWButtonRec start = brClose;
  auto plain = OpenShowFormWindow(args, std::make_shared<TFixedMetrics>(), start);
  EXPECT_EQ(start, brIndustries);
  EXPECT_FALSE(InSet(plain->Navigation()->ShownButtons(), brPointOfPlace));
  args.OnPointOfPlace = &PointOfPlace;
  args.StartIndex = 1;
  auto forced = OpenShowFormWindow(args, std::make_shared<TFixedMetrics>(), start);
  EXPECT_EQ(start, brPointOfPlace);
  EXPECT_TRUE(forced->OnPointOfPlace != nullptr);
}

TEST_F(WindowTest, DoubleClickedBranchOpensAWindowOfItsOwnWithTheHostsRoutines) {
  auto form = Dir->Open(TSampleDir::kChain);
  form->SettingsKey = "Key";
  form->OnPointOfPlace = [](const TJWPointOfPlaceRec&) {};
  form->OnLocateAddress = [](const std::string&, const std::string&, const std::string&, double&,
                             double&) { return true; };
  std::vector<std::unique_ptr<TJWWindowModel>> opened;
  form->OnOpenWindow = [&](std::unique_ptr<TJWWindowModel> AWindow) {
    opened.push_back(std::move(AWindow));
  };
  form->DoButtonEvent(brBranches);
  auto* page = static_cast<TfraJWBranchesV2*>(form->Frame(TfrmJW::fraPage));
  form->ControlEvent({TJWControlEventKind::ceListActivate, page->ListId(), 3, ""});
  ASSERT_EQ(opened.size(), 1u);
  auto* branch = dynamic_cast<TfrmJW*>(opened[0].get());
  ASSERT_NE(branch, nullptr);
  EXPECT_EQ(branch->EntryNumber(), int32_t(page->Branches()[3]->BranchId));
  EXPECT_EQ(branch->SettingsKey, "Key");
  EXPECT_TRUE(branch->OnPointOfPlace != nullptr);
  EXPECT_TRUE(branch->OnLocateAddress == nullptr);  // the branch window searches without it
  TJWBranchRec missing;
  missing.BranchId = 4711;  // a branch that is not in the file leaves this window as it is
  EXPECT_EQ(ErrorOf([&] { form->OpenBranchEntry(missing); }),
            "Error on opening!\n\r#4711 JW Eintrag nicht gefunden!");
  EXPECT_EQ(opened.size(), 1u);
}

// Nothing to show leaves the design sizes: a bar without button pictures keeps its width and
// has no height, office hours of blank lines show no bar and keep the page's height.
TEST(EmptyContent, BarWithoutPicturesAndBlankOfficeHours) {
  TfrmJW form(std::make_shared<TFixedMetrics>());
  TJW2DataRec rec;
  rec.Industries = {"A"}, rec.OfficeHoursKind = 1, rec.OfficeHours = {"", " \t"};
  TfraJWNavigation bar(form);
  bar.SetData(&rec);
  bar.SetButtonImages(30, std::make_shared<TJWBitmap>(Solid(150, 0, 0)), nullptr);
  EXPECT_EQ(std::pair(bar.Bounds.Width, bar.Bounds.Height), std::pair(140, 0));
  ASSERT_EQ(bar.Panels().size(), 2u);
  EXPECT_EQ(bar.Panels()[1].Rect.Height, 0);
  TfraJWOfficeHours hours(form);
  const int32_t height = hours.Bounds.Height;
  hours.SetData(&rec);
  EXPECT_TRUE(hours.Rows().empty());
  EXPECT_EQ(hours.Bounds.Height, height);
}

// The placement rules, on a screen of 1024 x 768, for a window of 713 x 487 at 271, 137.
class TMapStore : public TJWSettingsStore {
 public:
  std::map<std::string, std::string> Values;
  std::string Read(const std::string& ASection, const std::string& AName) override {
    return Values[ASection + "/" + AName];
  }
  void Write(const std::string& ASection, const std::string& AName, const std::string& V) override {
    Values[ASection + "/" + AName] = V;
  }
};

TEST(Placement, StoredValuesApplyOnlyWhereTheyKeepTheWindowOnTheScreen) {
  const TJWPlacement design{271, 137, 713, 487, false};
  struct TCase {
    std::map<std::string, std::string> Stored;
    TJWPlacement Expected;
    int32_t ScreenWidth = 1024;
  } cases[] = {
      {{}, design},
      {{{"x", "120"}, {"y", " 90 "}, {"w", "700"}, {"h", "480"}}, {120, 90, 700, 480, false}},
      {{{"x", "0"}, {"y", "abc"}, {"m", "1"}}, {271, 137, 713, 487, true}},
      {{{"x", "1023"}, {"w", "10"}}, {1023, 137, 713, 487, false}},  // x + w beyond the screen
      {{{"y", "300"}, {"h", "480"}}, {271, 300, 713, 487, false}},   // y + h beyond the screen
      {{{"x", "2000000000"}, {"w", "2000000000"}}, design},          // no wrap-around
      {{{"y", "0"}}, {1, 137, 600, 487, false}, 600},  // a screen narrower than the window
  };
  for (const TCase& c : cases) {
    TMapStore store;
    for (const auto& [name, value] : c.Stored) store.Values["FrmJW2.2/" + name] = value;
    EXPECT_EQ(LoadPlacement(store, "FrmJW2.2", design, c.ScreenWidth, 768), c.Expected)
        << store.Values.size() << " values, x=" << store.Read("FrmJW2.2", "x");
  }
  TMapStore store;
  SavePlacement(store, "S", {120, 90, 713, 487, false});
  SavePlacement(store, "S", {5, 5, 5, 5, true});  // maximised keeps the last normal place
  EXPECT_EQ(store.Values,
            (std::map<std::string, std::string>{
                {"S/m", "1"}, {"S/x", "120"}, {"S/y", "90"}, {"S/w", "713"}, {"S/h", "487"}}));
}

}  // namespace
