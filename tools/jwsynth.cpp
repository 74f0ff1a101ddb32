// jwpack synth N OUTDIR: a synthetic directory of N entries for scale tests. The content is
// plausible but generated (towns, trades, streets, chains of branch offices, all office-hours and
// extra-info forms, logos and four templates), and the same N always gives the same files.
#include "tools/jwsynth.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/JWDataFileNames.h"
#include "store/JWEStruct.h"
#include "store/JWError.h"
#include "tools/jwprogress.h"
#include "tools/writer/JWDatWriter.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWTmpWriter.h"

namespace jw {

namespace {

struct TTown {
  const char* Zip;  // first three digits
  const char* City;
  const char* Prefix;
  int EastDeg, EastMin, NorthDeg, NorthMin;
};

// Windows-1252 texts.
const TTown kTowns[] = {
    {"506", "K\xF6ln", "0221", 6, 57, 50, 56},
    {"531", "Bonn", "0228", 7, 5, 50, 44},
    {"402", "D\xFCsseldorf", "0211", 6, 47, 51, 13},
    {"513", "Leverkusen", "0214", 6, 59, 51, 2},
    {"451", "Essen", "0201", 7, 1, 51, 27},
    {"441", "Dortmund", "0231", 7, 28, 51, 31},
    {"520", "Aachen", "0241", 6, 5, 50, 46},
    {"421", "Wuppertal", "0202", 7, 9, 51, 16},
    {"503", "Br\xFChl", "02232", 6, 54, 50, 49},
    {"537", "Siegburg", "02241", 7, 12, 50, 47},
    {"471", "Duisburg", "0203", 6, 46, 51, 26},
    {"448", "Bochum", "0234", 7, 13, 51, 28},
    {"410", "M\xF6nchengladbach", "02161", 6, 26, 51, 12},
    {"428", "Remscheid", "02191", 7, 11, 51, 10},
};

const char* const kStreets[] = {
    "Hauptstra\xDF"
    "e",
    "Bahnhofstra\xDF"
    "e",
    "Kirchweg",
    "Marktplatz",
    "Schillerstra\xDF"
    "e",
    "Goethestra\xDF"
    "e",
    "Lindenallee",
    "Am M\xFChlenbach",
    "Gartenstra\xDF"
    "e",
    "Ringstra\xDF"
    "e",
    "Bergstra\xDF"
    "e",
    "K\xF6nigsallee",
    "Rheinufer",
    "Br\xFC"
    "ckenstra\xDF"
    "e",
    "Waldweg",
};

const char* const kNames[] = {
    "M\xFCller",
    "Schmidt",
    "Schneider",
    "Fischer",
    "Weber",
    "Meyer",
    "Wagner",
    "Becker",
    "Sch\xE4"
    "fer",
    "Koch",
    "Bauer",
    "Richter",
    "Klein",
    "Wolf",
    "Schr\xF6"
    "der",
    "Neumann",
    "Schwarz",
    "Zimmermann",
    "Braun",
    "Kr\xFCger",
    "Hofmann",
    "Hartmann",
    "Lange",
    "Wei\xDF",
};

struct TTrade {
  const char* Firm;       // NamePart1
  const char* Industry;   // first industry
  const char* Industry2;  // second industry
  const char* Type;       // business types
};
const TTrade kTrades[] = {
    {"B\xE4"
     "ckerei",
     "B\xE4"
     "ckereien",
     "Konditoreien", "Handwerk,Einzelhandel"},
    {"Metzgerei", "Metzgereien", "Partyservice", "Handwerk,Einzelhandel"},
    {"Friseursalon", "Friseure", "Kosmetik", "Dienstleistung"},
    {"Autowerkstatt", "Kfz-Werkst\xE4tten", "Reifenservice", "Handwerk,Dienstleistung"},
    {"Steuerkanzlei", "Steuerberater", "Lohnbuchhaltung", "Beratung"},
    {"Blumenladen", "Blumen", "Floristik", "Einzelhandel"},
    {"Elektro", "Elektroinstallation", "Photovoltaik", "Handwerk"},
    {"Gasthaus", "Restaurants", "Bierg\xE4rten", "Gastronomie"},
    {"Apotheke", "Apotheken", "Kosmetik", "Einzelhandel,Gesundheit"},
    {"Malerbetrieb", "Maler", "Lackierer", "Handwerk"},
};

const char* const kDays[] = {"MO", "DI", "MI", "DO", "FR", "SA", "SO"};

std::string Geo(int ADeg, int AMin, int ASec, int AHund) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d%02d", ADeg, AMin, ASec % 60, AHund % 100);
  return buf;
}

// A plain 24-bit bitmap file, bottom-up, from a colour function (0xRRGGBB).
template <typename F>
std::vector<uint8_t> MakeBmp(int W, int H, F AColour) {
  const uint32_t stride = uint32_t(W * 3 + 3) & ~3u;
  const uint32_t size = 54 + stride * uint32_t(H);
  std::vector<uint8_t> b(size, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(W));
  put32(22, uint32_t(H));
  b[26] = 1;
  b[28] = 24;
  put32(34, stride * uint32_t(H));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const uint32_t c = AColour(x, y);
      uint8_t* p = &b[54 + size_t(H - 1 - y) * stride + size_t(x) * 3];
      p[0] = uint8_t(c);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c >> 16);
    }
  return b;
}

uint32_t Mix(uint32_t A, uint32_t B, double T) {
  auto ch = [&](int s) {
    const double a = (A >> s) & 0xFF, b = (B >> s) & 0xFF;
    return uint32_t(a + (b - a) * T) << s;
  };
  return ch(16) | ch(8) | ch(0);
}

void WriteTemplates(const std::string& APath) {
  const uint32_t dark[] = {0x7A4A21, 0x0E3D6B, 0x234F26, 0x8C2F14};
  const uint32_t light[] = {0xFFF6ED, 0xEAF3FB, 0xEEF6EA, 0xFBEFE8};
  TJWTmpWriter w(APath);
  for (uint32_t t = 0; t < 4; ++t) {
    TJWTemplateFixture f;
    f.Id = t + 1;
    f.Image = MakeBmp(705, 460, [&](int x, int y) {
      if (y < 62) return Mix(dark[t], Mix(dark[t], 0xFFFFFF, 0.4), x / 705.0);
      const bool card = x >= 86 && x < 554 && y >= 88 && y < 448;
      return card ? 0xFFFFFF : light[t];
    });
    f.Button1 = MakeBmp(140, 16, [&](int, int y) { return Mix(0xFFFFFF, light[t], y / 16.0); });
    f.Button2 = MakeBmp(140, 20, [&](int, int y) { return Mix(dark[t], 0x000000, y / 40.0); });
    f.NavigationLeft = 561;
    const uint32_t rgb = light[t];
    f.BackgroundColor = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);  // 0x00BBGGRR
    f.CaptionLeft = 30;
    w.Add(f);
  }
  w.SetDefaultId(1);
  w.Finish();
}

}  // namespace

int JWPackSynth(uint32_t ACount, const std::string& AOutDir, uint32_t AMaxLogoEntries) {
  const uint32_t count = ACount;
  const std::filesystem::path dir = AOutDir;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "jwpack synth: cannot create %s\n", dir.string().c_str());
    return 1;
  }

  try {
    std::mt19937 rng(count);
    auto pick = [&](size_t AN) { return size_t(rng() % AN); };
    constexpr uint32_t kFirstId = 100000;
    constexpr uint32_t kLogos = 12;

    TJWImgWriter logos((dir / LogoDatFileName).string());
    for (uint32_t l = 0; l < kLogos; ++l) {
      const uint32_t fg = 0x203040 + l * 0x0B1307, bg = 0xFFFFFF - l * 0x020103;
      logos.AddImage(MakeBmp(120, 48, [&](int x, int y) {
        const int dx = x - 24, dy = y - 24;
        return dx * dx + dy * dy < 400 || (x > 52 && y > 18 && y < 30) ? fg : bg;
      }));
    }

    TJWDatWriter entries((dir / EntryDatFileName).string());
    TProgressLine progress(count, "entries");
    uint32_t logoEntries = 0;
    uint32_t done = 0;
    while (done < count) {
      // Every 40th group is a chain of up to 25 branch offices; the rest stand alone.
      const uint32_t group =
          (done / 40) % 7 == 3 && done % 40 == 0 ? std::min<uint32_t>(count - done, 25) : 1;
      std::vector<uint32_t> ids;
      for (uint32_t g = 0; g < group; ++g) ids.push_back(kFirstId + done + g);
      const TTrade& trade = kTrades[pick(std::size(kTrades))];
      const std::string owner = kNames[pick(std::size(kNames))];
      const uint32_t templ = uint32_t(pick(5));  // 0 = none: the default template
      for (uint32_t g = 0; g < group; ++g) {
        const uint32_t id = ids[g];
        const TTown& town = kTowns[pick(std::size(kTowns))];
        TJWEntryFixture f;
        f.Id = id;
        TJW2DataRec& r = f.Record;
        r.TemplateId = int32_t(templ);
        r.Code6 = std::to_string(id % 1000000);
        r.NamePart1 = trade.Firm;
        r.NamePart5 = owner;
        if (group > 1) {
          r.NamePart3 = "Filiale " + std::string(town.City);
          r.NameFormat = "\\1 \\5<BR>\\3";
          f.BranchIds = ids;
          r.BranchCaption = int32_t(id % 4);
        }
        r.Slogan = id % 3 ? "Ihr Partner in " + std::string(town.City) + "." : "";
        r.Street = kStreets[pick(std::size(kStreets))];
        r.StreetNo = std::to_string(1 + pick(180));
        r.Zip = town.Zip + std::to_string(10 + pick(90));
        r.City = town.City;
        r.PhonePrefix = town.Prefix;
        r.PhoneNumber = std::to_string(100000 + pick(8999999));
        if (id % 5 == 0) r.MobilePrefix = "0171", r.MobileNumber = std::to_string(1000000 + id);
        r.EMail = id % 4 ? "info" + std::to_string(id) + "@firma.example" : "";
        r.PortalPage = "firma-" + std::to_string(id);
        r.CardEC = id % 2;
        r.CardVisa = id % 3 == 0;
        r.CardAmex = id % 7 == 0;
        r.HideLocation = id % 29 == 0;
        if (id % 11) {
          r.PosX = Geo(town.EastDeg, town.EastMin + int(pick(4)), int(pick(60)), int(pick(100)));
          r.PosY = Geo(town.NorthDeg, town.NorthMin + int(pick(4)), int(pick(60)), int(pick(100)));
        }
        r.Industries = {trade.Industry, trade.Industry2};
        for (uint32_t k = 0; k < id % 13; ++k)
          r.Industries.push_back("Sparte " + std::to_string(k + 1));
        r.Searchwords = {owner, town.City};
        r.BusinessTypes = trade.Type;
        r.OfficeHoursKind = int32_t(id % 3);
        if (r.OfficeHoursKind == 0) {
          r.OfficeHours = {"Mo. - Fr. 8 - 18 Uhr", "Sa. 9 - 13 Uhr"};
        } else if (r.OfficeHoursKind == 1) {
          for (int d = 0; d < 7; ++d)
            r.OfficeHours.push_back(d < 5
                                        ? std::string(kDays[d]) + "X\t\t08:00\t12:30\t14:00\t18:00"
                                    : d == 5 ? std::string(kDays[d]) + "X\t\t09:00\t13:00\t\t"
                                             : std::string(kDays[d]) + "X\tgeschlossen\t\t\t\t");
          r.OfficeHours.push_back("Feiertags geschlossen.");
        } else {
          r.OfficeHours = {"Montag - Freitag\t9 - 18 Uhr", "Samstag\t10 - 14 Uhr"};
        }
        r.EnhInfoKind = int32_t(id % 2);
        r.EnhInfo = r.EnhInfoKind ? TStringList{"Gegr\xFCndet:\t" + std::to_string(1900 + id % 120),
                                                "Mitarbeiter:\t" + std::to_string(1 + id % 80)}
                                  : TStringList{"Synthetischer Eintrag Nr. " + std::to_string(id)};
        if (id % 3 && logoEntries < AMaxLogoEntries) {
          logos.AddIndex(id, id % kLogos);
          ++logoEntries;
        }
        entries.Add(f);
      }
      done += group;
      progress.Step(done);
    }
    entries.Finish();
    logos.Finish();
    WriteTemplates((dir / TemplateDatFileName).string());
  } catch (const EJWError& e) {
    std::fprintf(stderr, "jwpack synth: %s\n", e.what());
    return 1;
  }
  std::printf("%u entries written to %s\n", count, dir.string().c_str());
  return 0;
}

}  // namespace jw
