// The entry file reader, the raw inflate under it, the JSON form of entries and the data
// directory's cache of decoded entries.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "BmpGen.h"
#include "EntryAddress.h"
#include "ErrorOf.h"
#include "JWTempDir.h"
#include "JpegCheck.h"
#include "ReadCount.h"
#include "store/JWDataDirectory.h"
#include "store/JWEEntryDatFile.h"
#include "store/JWError.h"
#include "store/JWLimits.h"
#include "store/JWPlatform.h"
#include "store/JWRawInflate.h"
#include "tools/writer/DeflateRaw.h"
#include "tools/writer/JWDatWriter.h"
#include "tools/writer/JWEntryJson.h"
#include "tools/writer/JWImgWriter.h"
namespace jw {
namespace {

using jwtest::ErrorOf;
using test::TJWTempDir;
using ::testing::HasSubstr;
namespace fs = std::filesystem;
const std::string kDamaged = "besch\344digt";

TJWEntryFixture Entry(uint32_t AId, const std::string& AName = "Firma") {
  TJWEntryFixture e;
  e.Id = AId;
  e.Record.NamePart1 = AName;
  return e;
}

// Fixed fields the tests read and all six blocks filled.
TJWEntryFixture FullEntry(uint32_t AId) {
  TJWEntryFixture e;
  e.Id = AId;
  TJW2DataRec& r = e.Record;
  r.TemplateId = 4;
  r.Code5 = "C5xyz";
  r.Slogan = "Alles<BR>aus einer Hand";
  jwtest::FillAddress(r);
  r.Industries = {"Zimmerei", "\xC4pfel", "Bau"};
  r.Searchwords = {"holz", "Dach"};
  r.OfficeHours = {"Mo\t08:00\t17:00", "Di\t08:00\t17:00"};
  r.EnhInfo = {"Gegr\xFCndet\t1950", ""};
  r.BusinessTypes = "Handel,Service";
  return e;
}

class EntryFile : public ::testing::Test {
 protected:
  std::string Write(std::vector<TJWEntryFixture> AEntries, bool ASort = true,
                    std::optional<uint32_t> ACount = std::nullopt) {
    TJWDatWriter w(FPath);
    w.SetSortIndex(ASort);
    if (ACount) w.SetCount(*ACount);
    for (const auto& e : AEntries) w.Add(e);
    w.Finish();
    return FPath;
  }
  TJWTempDir FDir;
  std::string FPath = FDir.File("JWDAT.SRM");
};

// Index 3, 7, 9 and lookups that show the probe order: bounds move to mid, both ends are tested.
// Unsorted and duplicate indexes follow the same probes.
TEST_F(EntryFile, LookupProbeOrder) {
  Write({Entry(3), Entry(7), Entry(9)});
  TJWEEntryDatFile file(FPath);
  for (uint32_t id : {3u, 7u, 9u}) EXPECT_EQ(file.Lookup(id).Id, id);
  for (uint32_t absent : {8u, 2u, 10u, 0u}) EXPECT_EQ(file.Lookup(absent).Size, 0u) << absent;

  Write({Entry(9), Entry(3), Entry(7)}, /*ASort=*/false);
  file.Close();
  EXPECT_NE(file.Lookup(3).Size, 0u);  // mid hits it
  EXPECT_NE(file.Lookup(7).Size, 0u);  // lo moves to 3's slot, hi holds 7
  EXPECT_EQ(file.Lookup(9).Size, 0u);  // the first slot is never probed again

  // Three index entries with the same id: the last end tested (hi) wins.
  Write({Entry(5, "erste"), Entry(5, "zweite"), Entry(5, "dritte")});
  file.Close();
  TJW2DataRec r;
  file.LoadEntry(5, r);
  EXPECT_EQ(r.NamePart1, "dritte");
  file.ReleaseEntry(r);
  EXPECT_EQ(r.NamePart1, "");
}

TEST_F(EntryFile, NegativeIdentifiersSortFirst) {
  std::vector<TJWEntryFixture> entries;
  for (uint32_t id : {0x80000000u, 0xFFFFFFFBu, 0xFFFFFFFFu, 0u, 1u, 0x7FFFFFFFu})
    entries.push_back(Entry(id, "Nr" + std::to_string(int32_t(id))));
  Write(std::move(entries));
  TJWEEntryDatFile file(FPath);
  TJW2DataRec r;
  for (uint32_t id : {0x80000000u, 0xFFFFFFFBu, 0xFFFFFFFFu, 0u, 1u, 0x7FFFFFFFu}) {
    file.LoadEntry(id, r);
    EXPECT_EQ(r.Id, std::to_string(int32_t(id)));
    EXPECT_EQ(r.NamePart1, "Nr" + r.Id);
  }
  EXPECT_EQ(ErrorOf([&] { file.LoadEntry(uint32_t(-7), r); }), "#-7 JW Eintrag nicht gefunden!");
}

// Branches come in the order of the list, repeats included, absent and size-0 ones left out. A
// list of absent ones only exists but stays empty; half an id at the end of the block is dropped.
TEST_F(EntryFile, BranchesInListOrderWithoutAbsentOnes) {
  std::vector<TJWEntryFixture> entries = {
      Entry(10, "Zentrale"), FullEntry(11), Entry(12, "Sued"), Entry(13), Entry(1), Entry(2)};
  entries[0].BranchIds = {10, 12, 99, 11, 13, 12, 10};
  TJW2DataRec& b = entries[1].Record;
  b.NamePart1 = "Filiale";
  b.NamePart2 = "Nord";
  b.NameFormat = "\\1 - \\2";
  b.Zip = "1234567890";
  b.Code6 = "B-11";
  entries[3].IndexSize = 0;
  entries[4].BranchIds = {77};
  std::vector<uint8_t> rec = EncodeEntryRecord(Entry(2));
  rec.insert(rec.end(), {1, 0, 0, 0, 1, 0});
  rec[entryrec::BlockSizeOffset[entryrec::bkBranches]] = 6;
  entries[5].RawPayload = DeflateRaw(rec);
  Write(entries);

  TJWEEntryDatFile file(FPath);
  TJW2DataRec r;
  const auto ids = [&](uint32_t AId) -> std::optional<std::vector<uint32_t>> {
    file.LoadEntry(AId, r);
    if (!r.Branches) return std::nullopt;
    std::vector<uint32_t> result;
    for (const TJWBranchRec& branch : *r.Branches) result.push_back(branch.BranchId);
    return result;
  };
  EXPECT_EQ(ids(1), std::vector<uint32_t>{});
  EXPECT_EQ(ids(2), std::vector<uint32_t>{1});
  ASSERT_EQ(ids(10), (std::vector<uint32_t>{10, 12, 11, 12, 10}));
  EXPECT_EQ((*r.Branches)[3].Firm, "Sued");
  const TJWBranchRec& n = (*r.Branches)[2];
  // A literal blank, then the code's own; the zip code cut to its field.
  EXPECT_EQ(n.Firm + "|" + n.Zip + "|" + n.City + "|" + n.Street + n.StreetNo + n.StreetAdd + "|" +
                n.Phone + "|" + n.Code + "|" + n.SortKey,
            "Filiale -  Nord|12345|K\xF6ln|Hauptstra\337e12a|(02 21) 12 34 56|B-11|");
  EXPECT_DOUBLE_EQ(n.X, 6 + 57 / 60.0);
  EXPECT_DOUBLE_EQ(n.Y, 50 + 56 / 60.0);
}

// Damaged and absent entries of one file, each failing with its own message; the file's other
// entries still load. Counts are checked before anything is built: a few kilobytes of deflate can
// hold a million list separators or a million copies of one branch id.
TEST_F(EntryFile, DamagedEntriesFailWithTheirMessage) {
  using TDamage = std::function<void(TJWEntryFixture&)>;
  const std::string damaged = "Datei \"" + FPath + "\" ist " + kDamaged + ": #";
  const struct {
    TDamage Damage;
    std::string Expected;
  } cases[] = {
      {[](auto& e) { e.IndexSize = 0; }, "#1 JW Eintrag nicht gefunden!"},
      {[](auto& e) { e.RawPayload = std::vector<uint8_t>(6, 0xFF); }, damaged + "2 "},
      {[](auto& e) {  // a small stream of zeros that inflates past the cap
         std::vector<uint8_t> rec(TJWEEntryDatFile::kMaxInflatedEntry + 4096, 0);
         for (size_t off : entryrec::BlockSizeOffset) std::fill_n(&rec[off], 4, 0xFF);
         e.RawPayload = DeflateRaw(rec, 9);
       },
       "zu gro\xDF"},
      {[](auto& e) { e.Record.Searchwords.assign(size_t{1} << 20, ""); },  // 1 MiB of 0xFF
       damaged + "4 JW Eintrag hat zu viele Listeneintr\xE4ge (1048576)!"},
      {[](auto& e) { e.Record.OfficeHours.assign(limits::MaxListItems + 1, "x"); },
       damaged + "5 JW Eintrag hat zu viele Listeneintr\xE4ge (10001)!"},
      {[](auto& e) { e.BranchIds.assign(limits::MaxBranchIds + 1, 9); },
       damaged + "6 JW Eintrag hat zu viele Filialen (65537)!"},
      {[](auto& e) { e.BranchIds = {10}; }, ""},  // its branch has a broken position
      {[](auto& e) { e = FullEntry(8), e.IndexSize = 100000; }, damaged + "8 "},  // past the end
  };
  std::vector<TJWEntryFixture> entries;
  for (const auto& c : cases) {
    entries.push_back(Entry(uint32_t(entries.size() + 1)));
    c.Damage(entries.back());
  }
  // At the limits the entry loads, and its many copies of one branch cost one lookup.
  entries.push_back(Entry(9));
  entries.back().Record.Industries.assign(limits::MaxListItems, "");
  entries.back().BranchIds.assign(limits::MaxBranchIds, 9);
  entries.push_back(Entry(10));
  entries.back().Record.PosX = "12ab";
  Write(entries);
  TJWEEntryDatFile file(FPath);
  TJW2DataRec r;
  for (uint32_t id = 1; id <= std::size(cases); ++id) {
    const std::string msg = ErrorOf([&] { file.LoadEntry(id, r); });
    EXPECT_NE(msg, "") << id;
    EXPECT_THAT(msg, HasSubstr(cases[id - 1].Expected)) << id;
  }
  EXPECT_EQ(ErrorOf([&] { file.LoadEntry(11, r); }), "#11 JW Eintrag nicht gefunden!");
  EXPECT_FALSE(file.LoadBranch(1).has_value());
  EXPECT_THROW(file.LoadBranch(2), EJWError);

  const int64_t readsBefore = jwtest::ReadSyscalls();
  file.LoadEntry(9, r);
  const int64_t reads = jwtest::ReadSyscalls() - readsBefore;
  EXPECT_EQ(r.Industries.size(), limits::MaxListItems);
  ASSERT_TRUE(r.Branches);
  ASSERT_EQ(r.Branches->size(), limits::MaxBranchIds);
  EXPECT_EQ(r.Branches->back().BranchId, 9u);
  EXPECT_LT(readsBefore < 0 ? 0 : reads, 50);
}

// Entry 5 has a logo; branches load none.
TEST_F(EntryFile, LogoComesFromTheAttachedSource) {
  struct : TJWLogoSource {
    std::shared_ptr<const TJWBitmap> GetLogo(uint32_t AId) override {
      Asked.push_back(AId);
      return AId == 5 ? std::make_shared<TJWBitmap>(TJWBitmap{1, 1, {0xFF112233u}}) : nullptr;
    }
    std::vector<uint32_t> Asked;
  } logos;
  std::vector<TJWEntryFixture> entries = {Entry(5), Entry(6)};
  entries[1].BranchIds = {5, 6};
  Write(entries);
  TJWEEntryDatFile file(FPath, &logos);
  TJW2DataRec r;
  file.LoadEntry(5, r);
  ASSERT_NE(r.Logo, nullptr);
  EXPECT_EQ(r.Logo->Pixel(0, 0), 0xFF112233u);
  file.LoadEntry(6, r);
  EXPECT_EQ(r.Logo, nullptr);
  EXPECT_EQ(logos.Asked, (std::vector<uint32_t>{5, 6}));
  file.SetLogoFile(nullptr);
  file.LoadEntry(5, r);
  EXPECT_EQ(r.Logo, nullptr);
}

// Records and streams cut short load what is there; stated sizes beyond the stream take only
// what it holds.
TEST_F(EntryFile, ShortRecordsAndHostileSizes) {
  std::vector<TJWEntryFixture> entries = {FullEntry(1), FullEntry(2), FullEntry(3), FullEntry(17)};
  entries[0].InflatedLength = entryrec::Street.Offset + 5;  // cut inside the street
  entries[1].CompressedLength = 40;                         // stream cut short
  entries[2].InflatedLength = entryrec::kFixedSize + 5;     // blocks cut: "Zimme" only
  entries[3].StatedBlockSizes.emplace().fill(0xFFFFFFFFu);
  // Length bytes beyond the room of their field.
  entries[3].FixedPatches = {{entryrec::Code5.Offset, {255}}, {entryrec::PosY.Offset, {255}}};
  Write(entries);
  TJWEEntryDatFile file(FPath);
  TJW2DataRec r;
  file.LoadEntry(1, r);
  EXPECT_EQ(r.Slogan, "Alles<BR>aus einer Hand");
  // The length byte survived, the missing room reads as zeros.
  EXPECT_EQ(r.Street, std::string("Haup\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(r.City, "");
  EXPECT_EQ(r.TemplateId, 0);
  EXPECT_TRUE(r.Industries.empty());
  EXPECT_FALSE(r.Branches.has_value());

  file.LoadEntry(2, r);  // whatever could be inflated, no failure
  EXPECT_EQ(r.Id, "2");

  file.LoadEntry(3, r);
  EXPECT_EQ(r.Industries, TStringList{"Zimme"});
  EXPECT_TRUE(r.Searchwords.empty());
  EXPECT_EQ(r.BusinessTypes, "");

  file.LoadEntry(17, r);  // block A takes all the rest of the stream
  EXPECT_EQ(r.Code5.size(), 5u);
  EXPECT_EQ(r.PosY.size(), 8u);
  // All six blocks run together: "Bau" and "holz" meet, and so do the next blocks' edges.
  EXPECT_EQ(r.Industries.size(), 8u);
  EXPECT_EQ(r.Industries[2], "Bauholz");
  EXPECT_TRUE(r.Searchwords.empty());
}

TEST_F(EntryFile, MalformedIndexes) {
  TJW2DataRec r;
  const auto loadError = [&](TJWEEntryDatFile& AFile) {
    return ErrorOf([&] { AFile.LoadEntry(1, r); });
  };
  Write({});  // Count 0
  TJWEEntryDatFile empty(FPath);
  EXPECT_EQ(loadError(empty), "#1 JW Eintrag nicht gefunden!");
  EXPECT_EQ(empty.GetCount(), 0u);

  Write({Entry(1)}, true, 1000);  // claims more entries than the file holds
  TJWEEntryDatFile file(FPath);
  const std::string msg = ErrorOf([&] { file.Open(); });
  EXPECT_THAT(msg, HasSubstr("\"" + FPath + "\" ist " + kDamaged));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(loadError(file), msg);
  Write({Entry(1)}, true, 0xFFFFFFFFu);
  EXPECT_EQ(ErrorOf([&] { file.Open(); }), msg);

  std::filesystem::resize_file(FPath, 0);  // no header at all reads as an empty index
  EXPECT_EQ(loadError(file), "#1 JW Eintrag nicht gefunden!");
}

TEST_F(EntryFile, FileShrinkingUnderAnOpenReader) {
  std::vector<TJWEntryFixture> entries;
  for (uint32_t id = 1; id <= 50; ++id) entries.push_back(FullEntry(id));
  Write(entries);
  TJWEEntryDatFile file(FPath);
  TJW2DataRec r;
  file.LoadEntry(50, r);
  EXPECT_EQ(r.Industries, (TStringList{"\xC4pfel", "Bau", "Zimmerei"}));  // lists sorted on load
  EXPECT_EQ(r.Searchwords, (TStringList{"Dach", "holz"}));
  // Cut into the data area: entries there are damaged.
  std::filesystem::resize_file(FPath, entryrec::kHeaderSize + 12 * 50 + 10);
  EXPECT_THAT(ErrorOf([&] { file.LoadEntry(50, r); }),
              HasSubstr(kDamaged + ": #50 JW Eintrag (endet hinter dem Dateiende)"));
  // Cut into the index: probes fail cleanly.
  std::filesystem::resize_file(FPath, 100);
  EXPECT_THAT(ErrorOf([&] { file.LoadEntry(50, r); }), HasSubstr(kDamaged));
  file.Close();
  EXPECT_THAT(ErrorOf([&] { file.Open(); }), HasSubstr(kDamaged));
}

TEST_F(EntryFile, OpenCloseAndMessages) {
  Write({Entry(1)});
  TJWEEntryDatFile file(FPath);
  EXPECT_FALSE(file.IsOpen());
  file.Open();
  EXPECT_EQ(ErrorOf([&] { file.Open(); }), "File already open!");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_NE(file.Lookup(1).Size, 0u);  // reopens on demand
  EXPECT_TRUE(file.IsOpen());
  // What lookups remember of the index goes with the opening it was read from.
  file.Close();
  Write({Entry(2), Entry(4), Entry(6)});
  EXPECT_EQ(file.Lookup(1).Size, 0u);
  EXPECT_NE(file.Lookup(4).Size, 0u);

  const std::string missing = FDir.File("FEHLT.SRM"), dir = FDir.Path().string();
  file.SetFileName(missing);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.GetFileName(), missing);
  EXPECT_EQ(ErrorOf([&] { file.Open(); }), "Datei \"" + missing + "\" nicht gefunden!");
  file.SetFileName(dir);  // a directory is no file
  EXPECT_EQ(ErrorOf([&] { file.Open(); }), "Datei \"" + dir + "\" nicht gefunden!");
#ifndef _WIN32  // Windows has no named pipes in the file system
  const std::string fifo = FDir.File("FIFO.SRM");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  file.SetFileName(fifo);  // present but not a readable file: no hang, a clear message
  EXPECT_EQ(ErrorOf([&] { file.Open(); }), "Konnte Datei \"" + fifo + "\" nicht \366ffnen!");
#endif
}

TEST(DataFileName, ResolvesAgainstTheCurrentDirectory) {
  TJWTempDir dir;
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const std::string sep(1, jw::platform::PathSeparator);  // what the library joins with
  const std::string cwd = std::filesystem::current_path().string() + sep;
#ifdef _WIN32
  const std::string drive = "C:JWDAT.SRM";  // the drive's own directory
#else
  const std::string drive = cwd + "C:JWDAT.SRM";  // no drives here
#endif
  for (auto [name, resolved] : {std::pair<std::string, std::string>{"JWDAT.SRM", cwd + "JWDAT.SRM"},
                                {" ", cwd + " "},
                                {"daten/JWDAT.SRM", "daten/JWDAT.SRM"},
                                {"daten\\JWDAT.SRM", "daten\\JWDAT.SRM"},
                                {"/JWDAT.SRM", "/JWDAT.SRM"},
                                {" /JWDAT.SRM", " /JWDAT.SRM"},
                                {"C:JWDAT.SRM", drive}})
    EXPECT_EQ(ResolveDataFileName(name), resolved);

  WriteEntryDatFile(dir.File("JWDAT.SRM"), {Entry(8)});
  TJWEEntryDatFile file("JWDAT.SRM");
  EXPECT_EQ(file.GetFileName(), cwd + "JWDAT.SRM");
  std::filesystem::current_path(old);  // the name was fixed at creation
  EXPECT_NE(file.Lookup(8).Size, 0u);
  EXPECT_EQ(JoinPath("a/", "b") + JoinPath("", "b"), "a/bb");
  EXPECT_EQ(JoinPath("a", "b"), "a" + sep + "b");
}

std::vector<uint8_t> Sample(size_t ASize) {
  std::vector<uint8_t> data(ASize);
  for (size_t i = 0; i < ASize; ++i) data[i] = uint8_t((i * 7) ^ (i >> 5));
  return data;
}

TEST(InflateRaw, WholeCappedShortAndCorruptStreams) {
  const auto data = Sample(100000);
  auto packed = DeflateRaw(data);
  const size_t whole = packed.size(), size = data.size();
  // {stream bytes, cap, complete, bytes out (0: some)}; an exact cap still completes.
  for (auto [in, cap, complete, out] : {std::tuple{whole, size_t{1} << 20, true, size},
                                        {whole, size, true, size},
                                        {whole, 1000, false, 1000},
                                        {whole / 2, 1 << 20, false, 0},
                                        {0, 100, false, 0}}) {
    const auto r = InflateRaw(in ? packed.data() : nullptr, in, cap);
    EXPECT_EQ(r.Complete, complete) << in << "/" << cap;
    EXPECT_FALSE(r.Corrupt);
    EXPECT_TRUE(std::equal(r.Data.begin(), r.Data.end(), data.begin()));
    if (out)
      EXPECT_EQ(r.Data.size(), out) << in;
    else
      EXPECT_EQ(r.Data.empty(), in == 0) << in;  // a cut stream gives what came before the cut
  }
  packed[0] = 0xFF;  // an invalid block type
  const auto bad = InflateRaw(packed.data(), packed.size(), 1 << 20);
  EXPECT_TRUE(bad.Corrupt && !bad.Complete && !bad.Error.empty());
}

TEST(RawInflater, StepwiseReadsAndZeroFill) {
  const auto data = Sample(300);
  const auto packed = DeflateRaw(data);
  TJWRawInflater inflater(packed.data(), packed.size());
  uint8_t head[100];
  EXPECT_EQ(inflater.ReadFixed(head, sizeof head), 100u);
  EXPECT_TRUE(std::equal(head, head + 100, data.begin()));
  std::vector<uint8_t> rest;
  EXPECT_EQ(inflater.Read(rest, 150), 150u);
  EXPECT_EQ(inflater.Read(rest, 1000), 50u);
  EXPECT_TRUE(inflater.Finished());
  EXPECT_TRUE(std::equal(rest.begin(), rest.end(), data.begin() + 100));
  uint8_t tail[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(inflater.ReadFixed(tail, sizeof tail), 0u);
  EXPECT_EQ(std::count(tail, tail + 8, 0), 8);
}

// Every stored field, in the order a dump writes them; lists already in their loaded order.
const char* const kFullEntry = R"({
  "Id": -12, "TemplateId": 3, "Code5": "AB123", "Code6": "CD4567",
  "NamePart1": "Gärtnerei", "NamePart6": "Jürgen", "NamePart7": "Sieben", "NamePart2": "GmbH",
  "NamePart4": "Vier", "NamePart5": "Fünf", "NameFormat": "\\1 \\6<BR>\\2",
  "ExtraText3": "Extra „drei“", "NamePart3": "& Co.", "Slogan": "Blumen für alle – 10 €",
  "Street": "Große Straße", "StreetNo": "7", "StreetAdd": "b", "Zip": "50667", "City": "Köln",
  "PhonePrefix": "0221", "PhoneNumber": "123456", "FaxPrefix": "0221", "FaxNumber": "123457",
  "MobilePrefix": "0171", "MobileNumber": "7654321", "EMail": "post@gaertnerei.example",
  "Url": "", "PortalPage": "gaertnerei", "CardVisa": true, "CardAmex": false,
  "CardEurocard": 7, "CardDiners": false, "CardEC": true, "HideLocation": true,
  "PosX": "06574200", "PosY": "5056420", "BranchCaption": 3,
  "Industries": ["Baumschulen", "Gärtnereien", "Özil-Zubehör"],
  "Searchwords": ["", "Rosen", "Stauden"],
  "OfficeHoursKind": 2, "OfficeHours": ["MOX\t\t08:00\t18:00\t\t", "Sonntags zu", ""],
  "EnhInfoKind": 0, "EnhInfo": ["Frei\u0081text"],
  "Branches": [-12, 99, 40],
  "BusinessTypes": "Handel,,Gartenbau"
})";

TEST(EntryJson, BuildAndDumpRoundTripEveryField) {
  TJWTempDir dir;
  const TJWJson entry = TJWJson::parse(kFullEntry);
  TJWJson source = {{"Entries", TJWJson::array({entry})}};
  source["Entries"].push_back({{"Id", 40}, {"NamePart1", "Zweig"}, {"Logo", "art/x.bmp"}});
  WriteEntriesFromJson(source, dir.File("JWDAT.SRM"));

  TJWEEntryDatFile file(dir.File("JWDAT.SRM"));
  EXPECT_EQ(DumpEntryJson(file, uint32_t(-12)), entry);  // absent branch 99 stays listed

  TJW2DataRec r;
  file.LoadEntry(uint32_t(-12), r);
  EXPECT_EQ(r.NamePart1, "G\xE4rtnerei");
  EXPECT_EQ(r.ExtraText3, "Extra \204drei\x93");
  EXPECT_EQ(r.EnhInfo, TStringList{"Frei\x81text"});
  ASSERT_TRUE(r.Branches.has_value());
  EXPECT_EQ(r.Branches->size(), 2u);
}

TEST(EntryJson, RefusesWhatTheFileCannotHold) {
  for (auto [json, expected] : std::initializer_list<std::pair<const char*, const char*>>{
           {R"({"NamePart1": "x"})", "\"Id\": missing"},
           {R"({"Id": 1, "Namepart1": "x"})", "unknown field"},
           {R"({"Id": 1, "Zip": "12345678901"})", "Zip"},
           {R"({"Id": 1, "City": "Łódź"})", "U+0141"},
           {R"({"Id": 1, "Industries": ["Kaffee", "ÿ"]})", "0xFF"},
           {R"({"Id": 1, "BusinessTypes": "aÿb"})", "0xFF"},
           {R"({"Id": 4294967296})", "out of range"},
           {R"({"Id": 1, "CardVisa": 256})", "out of range"},
           {R"({"Id": 1, "Industries": "Kaffee"})", "list"},
           {R"({"Id": 1, "TemplateId": "3"})", "whole number"},
           {R"([1])", "object"},
       })
    EXPECT_THAT(ErrorOf([&] { EntryFromJson(TJWJson::parse(json)); }), HasSubstr(expected)) << json;
  EXPECT_EQ(EntryFromJson(TJWJson::parse(R"({"Id": 4294967295})")).Id, 0xFFFFFFFFu);
}

// Entry 1 named AName; with ABranch, entry 2 as its branch.
void WriteEntries(const std::string& AFile, const std::string& AName, bool ABranch = false) {
  std::vector<TJWEntryFixture> entries = {Entry(1, AName), Entry(2, "Filiale")};
  if (ABranch) entries[0].BranchIds = {2};
  WriteEntryDatFile(AFile, entries);
}

// Entries come from the directory's cache of decoded entries: what it answers must be what the
// entry reader reads from the file as it is now, logo and branches included.
TEST(DataDirectoryEntries, CachedEntriesFollowTheFileAndKeepLogosApart) {
  TJWTempDir dir;
  WriteEntries(dir.File(EntryDatFileName), "Alt", true);
  TJWImgWriter logos(dir.File(LogoDatFileName));
  logos.AddLogo(1, jwtest::MakeBmp24(jwtest::Gradient(4, 3)));
  logos.Finish();
  TJWDataDirectory files(dir.Path().string());
  const TJW2DataRec plain = *files.EntryWithoutLogo(1);
  TJW2DataRec withLogo;
  files.LoadEntry(1, withLogo);
  EXPECT_EQ(plain.Logo, nullptr);
  EXPECT_TRUE(withLogo.Logo && withLogo.Logo->Width == 4);
  ASSERT_TRUE(withLogo.Branches.has_value());
  EXPECT_EQ(withLogo.Branches->at(0).Firm, "Filiale");

  // Rewritten in place with the same size: the next check of the directory sees the new entry.
  const fs::path name = dir.File(EntryDatFileName);
  const auto written = fs::last_write_time(name);
  WriteEntries(dir.File(EntryDatFileName), "Neu", true);
  fs::last_write_time(name, written + std::chrono::seconds(1));
  files.Recheck();
  TJW2DataRec fresh;
  files.LoadEntry(1, fresh);
  EXPECT_EQ(fresh.NamePart1, "Neu");

  // A missing entry fails as the reader does, and no failure is remembered.
  EXPECT_THROW(files.LoadEntry(3, fresh), EJWError);
  EXPECT_EQ(fresh.NamePart1, "Neu");
}

// The data path is used as set: a separator comes between it and a file name unless the path is
// empty, blank or ends in one; a blank path names files beginning with its blanks in the current
// directory.
TEST(DataDirectoryNames, PathAsSetFollowedByTheFileName) {
  const std::string sep(1, platform::PathSeparator);
  const std::pair<std::string, std::string> cases[] = {
      {"", "JWDAT.SRM"},     {"   ", "   JWDAT.SRM"},          {"d", "d" + sep + "JWDAT.SRM"},
      {"d/", "d/JWDAT.SRM"}, {"d ", "d " + sep + "JWDAT.SRM"},
  };
  for (const auto& [path, name] : cases)
    EXPECT_EQ(TJWDataDirectory::FileName(path, EntryDatFileName), name) << '"' << path << '"';

  TJWTempDir dir;
  WriteEntries((dir.Path() / "   JWDAT.SRM").string(), "Leer");
  const fs::path before = fs::current_path();
  fs::current_path(dir.Path());
  std::string name;
  try {
    name = TJWDataDirectory::Use("   ")->EntryWithoutLogo(1)->NamePart1;
  } catch (const std::exception& e) {
    name = e.what();
  }
  fs::current_path(before);
  EXPECT_EQ(name, "Leer");
}

#ifndef _WIN32
// A data file reached through a link: renamed over behind the link, it is seen at the next call.
TEST(DataDirectoryEntries, ChangesBehindALinkAreSeenAtTheNextCall) {
  TJWTempDir dir, real;
  fs::create_directory(dir.Path() / "data");
  const std::string target = (real.Path() / "entries").string();
  fs::create_symlink(target, dir.Path() / "data" / EntryDatFileName);
  const std::string path = (dir.Path() / "data").string();
  for (const char* name : {"Alt", "Neu"}) {
    WriteEntries(target + ".new", name);
    fs::rename(target + ".new", target);
    EXPECT_EQ(TJWDataDirectory::Use(path)->EntryWithoutLogo(1)->NamePart1, name);
  }
}
#endif

}  // namespace
}  // namespace jw
