// The office-hours page: free lines, the day table with its time columns, and label/text pairs.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "ViewerTestEnv.h"
#include "viewer/JWEFrame.h"
#include "viewer/ufraJWOfficeHours.h"

using namespace jw;
using jwtest::Child;
using jwtest::Text;

namespace {

const char* const kSuffixes[] = {"VVH", "VVD", "VVM", "V", "VBH", "VBD", "VBM", "U",
                                 "NVH", "NVD", "NVM", "N", "NBH", "NBD", "NBM"};

class OfficeHoursPage : public ::testing::Test {
 protected:
  void Show(int32_t AKind, TStringList ALines) {
    Rec.OfficeHoursKind = AKind;
    Rec.OfficeHours = std::move(ALines);
    Frame.SetData(&Rec);
  }
  TJWPanel* Bar(int ARow) const {
    return Child<TJWPanel>(&Frame, QString("pnlOZ%1").arg(ARow).toUtf8().constData());
  }
  bool RowShown(int ARow) const { return Bar(ARow)->isVisibleTo(&Frame); }
  QLabel* Right(int ARow) const {
    return Child<QLabel>(&Frame, QString("lblOZ%1").arg(ARow).toUtf8().constData());
  }
  QLabel* Time(int ARow, const char* ASuffix) const {
    return Child<QLabel>(&Frame, QString("lblOZ%1_%2").arg(ARow).arg(ASuffix).toUtf8().constData());
  }
  // The visible time labels of a row joined left to right, as a reader sees them.
  std::string Times(int ARow) const {
    std::string text;
    for (const char* suffix : kSuffixes) {
      QLabel* label = Time(ARow, suffix);
      if (label->isVisibleTo(&Frame)) text += FromQString(label->text()) + "|";
    }
    return text;
  }
  int ShownRows() const {
    int shown = 0;
    for (int n = 1; n <= 8; ++n) shown += RowShown(n) ? 1 : 0;
    return shown;
  }

  TJW2DataRec Rec;
  TfraJWOfficeHours Frame;
};

}  // namespace

TEST_F(OfficeHoursPage, WeekdaysWithARemarkFillSixRows) {
  Show(1, {"MOX\t\t08:00\t12:00\t14:00\t18:00", "DIX\t\t08:00\t12:00\t14:00\t18:00",
           "MIX\t\t08:00\t12:00\t14:00\t18:00", "DOX\t\t08:00\t12:00\t14:00\t18:00",
           "FRX\t\t08:00\t12:00\t14:00\t18:00", "SA\t\t\t\t\t", "SO\t\t\t\t\t",
           "Und nach Vereinbarung"});
  EXPECT_EQ(Frame.height(), 148);
  EXPECT_EQ(Child(&Frame, "pnlVPGeschaeftszeiten")->height(), 148);
  EXPECT_EQ(ShownRows(), 6);
  EXPECT_EQ(Bar(1)->Caption(), "Mo.:");
  EXPECT_EQ(Bar(5)->Caption(), "Fr.:");
  EXPECT_EQ(Times(1), "08|:|00|-|12|:|00|u.|14|:|00|-|18|:|00|");
  EXPECT_EQ(FromQString(Right(1)->text()), "Uhr ");
  // "Uhr " sits at the bar's right edge, as wide as its text.
  const QFontMetrics metrics(Frame.font());
  EXPECT_EQ(Right(1)->geometry(), QRect(209 - metrics.horizontalAdvance("Uhr "), 0,
                                        metrics.horizontalAdvance("Uhr "), 17));
  EXPECT_EQ(Time(1, "NVH")->geometry(), QRect(112, 0, 16, 17));
  EXPECT_TRUE(Time(1, "VVH")->alignment() & Qt::AlignRight);
  EXPECT_TRUE(Time(1, "U")->alignment() & Qt::AlignHCenter);

  // The remark follows the last day with no times and no right text.
  EXPECT_EQ(Bar(6)->Caption(), "Und nach Vereinbarung");
  EXPECT_EQ(Times(6), "");
  EXPECT_EQ(FromQString(Right(6)->text()), "");
  // Bars and spacers stack under the 16-pixel title: 22 pixels per row.
  EXPECT_EQ(Bar(6)->mapTo(&Frame, QPoint(0, 0)), QPoint(11, 16 + 5 * 22));
}

TEST_F(OfficeHoursPage, DayShapesShowOnlyTheirOwnColumns) {
  Show(1, {"MOX\tnach Vereinbarung\t\t\t\t", "DIX\t\t08:00\t12:00\t\t", "MIX\t\t08:00\t\t\t18:30",
           "DO\t\t08:00\t12:00\t\t", "FRX\t\t\t\t14:00\t18:00", "SAX\t\t9\t12\t\t"});
  EXPECT_EQ(ShownRows(), 5);
  EXPECT_EQ(Frame.height(), 16 + 5 * 22);

  // A note-only day: the label at the left, the note at the right edge, no times.
  EXPECT_EQ(Bar(1)->Caption(), "Mo.:");
  EXPECT_EQ(Times(1), "");
  EXPECT_EQ(FromQString(Right(1)->text()), "nach Vereinbarung");
  EXPECT_EQ(Right(1)->geometry().right(), 208);
  EXPECT_TRUE(Right(1)->isVisibleTo(&Frame));

  // Morning only: the "-" between the times, no "u." and nothing of the afternoon.
  EXPECT_EQ(Times(2), "08|:|00|-|12|:|00|");
  EXPECT_FALSE(Time(2, "U")->isVisibleTo(&Frame));

  // Open through: from-time, "-" in the U column, to-time.
  EXPECT_EQ(Bar(3)->Caption(), "Mi.:");
  EXPECT_EQ(Times(3), "08|:|00|-|18|:|30|");
  EXPECT_TRUE(Time(3, "U")->isVisibleTo(&Frame));
  EXPECT_FALSE(Time(3, "V")->isVisibleTo(&Frame));

  // Thursday lacks its marker, so Friday moves up; afternoon only.
  EXPECT_EQ(Bar(4)->Caption(), "Fr.:");
  EXPECT_EQ(Times(4), "14|:|00|-|18|:|00|");
  EXPECT_EQ(FromQString(Right(4)->text()), "Uhr ");

  // Times without minutes keep their colons.
  EXPECT_EQ(Times(5), "9|:|-|12|:|");
}

TEST_F(OfficeHoursPage, NothingToShowKeepsOrShrinksTheHeight) {
  const int design = Frame.height();
  EXPECT_EQ(design, 190);
  Show(0, {"", "  \t "});
  EXPECT_EQ(Frame.height(), design);
  EXPECT_EQ(ShownRows(), 0);

  Show(3, {"Mo-Fr 8-18 Uhr"});
  EXPECT_EQ(Frame.height(), design);
  EXPECT_EQ(ShownRows(), 0);

  // A day table without marked days: only the title.
  Show(1, {"MO\t\t08:00\t12:00\t\t"});
  EXPECT_EQ(Frame.height(), 16);

  // Refilling clears what an earlier reading showed.
  Show(1, {"MOX\t\t08:00\t12:00\t\t"});
  Show(0, {"Termine nach Vereinbarung"});
  EXPECT_EQ(ShownRows(), 1);
  EXPECT_EQ(Times(1), "");
  EXPECT_FALSE(Right(1)->isVisibleTo(&Frame));
}

TEST_F(OfficeHoursPage, FreeLinesShowAsTheyAreAndBlankLinesLeaveNoGap) {
  Show(0, {"  Mo-Fr 8-18 Uhr", "", "Sa 9-13 Uhr"});
  EXPECT_EQ(ShownRows(), 2);
  EXPECT_EQ(Bar(1)->Caption(), "  Mo-Fr 8-18 Uhr");
  EXPECT_FALSE(RowShown(2));
  EXPECT_EQ(Bar(3)->Caption(), "Sa 9-13 Uhr");
  EXPECT_EQ(Bar(3)->y(), 22);
  EXPECT_EQ(Frame.height(), 16 + 2 * 22);
  EXPECT_EQ(Times(1), "");
}

TEST_F(OfficeHoursPage, PairsAlignTheirRightTextsAfterTheWidestLeftTextUpToRowEight) {
  Show(2, {"Mo-Fr\t9 - 18 Uhr", "Sa\t9 - 13 Uhr", "", "", "", "", "",
           "Ein sehr langer Hinweis in Zeile acht\tverborgen"});
  EXPECT_EQ(Bar(1)->Caption(), "Mo-Fr:");
  EXPECT_EQ(Bar(2)->Caption(), "Sa:");
  const int w = QFontMetrics(Frame.font()).horizontalAdvance("Mo-Fr:");
  for (int n : {1, 2}) {
    EXPECT_EQ(Right(n)->x(), w + 10) << n;
    EXPECT_EQ(Right(n)->geometry().right(), 208) << n;
    EXPECT_TRUE(Right(n)->isVisibleTo(&Frame)) << n;
  }
  EXPECT_EQ(FromQString(Right(2)->text()), "9 - 13 Uhr");
  // Line 8 shows its left text without a colon and hides its right text; its width does not
  // move the other right texts.
  EXPECT_EQ(Bar(8)->Caption(), "Ein sehr langer Hinweis in Zeile acht");
  EXPECT_FALSE(Right(8)->isVisibleTo(&Frame));
  EXPECT_EQ(Bar(8)->y(), 2 * 22);
  EXPECT_EQ(Frame.height(), 16 + 3 * 22);
  EXPECT_EQ(Times(1), "");

  // Pairs that reach row eight are measured there.
  TStringList lines;
  for (int i = 1; i <= 7; ++i) lines.push_back("T" + std::to_string(i) + "\tx");
  lines.push_back("Zeile acht\tweg");
  lines.push_back("Eine lange neunte Zeile\tda");
  Show(2, lines);
  EXPECT_EQ(ShownRows(), 8);
  EXPECT_EQ(Bar(8)->Caption(), "Eine lange neunte Zeile:");
  EXPECT_EQ(Right(1)->x(),
            QFontMetrics(Frame.font()).horizontalAdvance("Eine lange neunte Zeile:") + 10);
  EXPECT_FALSE(Right(8)->isVisibleTo(&Frame));
}
