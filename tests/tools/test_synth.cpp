// The synthetic directories of "jwpack synth" must stay readable by the library at any size.
#include <gtest/gtest.h>

#include "JWTempDir.h"
#include "store/JWEEntryDatFile.h"
#include "store/JWELogoDatFile.h"
#include "tools/jwsynth.h"

using namespace jw;

TEST(Synth, LogoIndexStopsAtTheReadersLimit) {
  test::TJWTempDir dir;
  // 90 entries would give 60 logos; a limit of 20 stands in for the reader's room.
  ASSERT_EQ(JWPackSynth(90, dir.Path().string(), 20), 0);
  TJWELogoDatFile logos(dir.File("JWIMG.SRM"));
  logos.Open();
  EXPECT_EQ(logos.GetCount(), 20);

  // Every entry loads; the first ones have their logo, the rest stand without one.
  TJWEEntryDatFile entries(dir.File("JWDAT.SRM"), &logos);
  ASSERT_EQ(entries.GetCount(), 90u);
  int withLogo = 0;
  for (uint32_t id = 100000; id < 100090; ++id) {
    TJW2DataRec rec;
    entries.LoadEntry(id, rec);
    if (rec.Logo) ++withLogo;
    entries.ReleaseEntry(rec);
  }
  EXPECT_EQ(withLogo, 20);
}
