// A random query (up to the first line feed) and a random page template (the rest) must give a
// page or an EJWError, never a crash or a hang. Include files that the templates may name are
// written once: a row of branch fields, a list row, and a file that includes itself.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "html/JWHTMLProducer.h"
#include "store/JWError.h"
#include "tests/support/EntryAddress.h"

namespace fs = std::filesystem;
using namespace jw;

namespace {

const fs::path& Dir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("jw_fuzz_html_" + std::to_string(getpid()));
    fs::create_directories(d);
    auto write = [&](const char* AName, const char* AText) {
      std::ofstream(d / AName, std::ios::binary) << AText;
    };
    write("row.html", "<#FIELD NAME=B_ID>:<#FIELD NAME=B_FIRM TYPE=NEXT>\r\n");
    write("list.html", "<#FIELD NAME=INDUSTRIES TYPE=DATA><#FIELD NAME=SEARCHWORDS TYPE=DATA>");
    write("self.html", "x<#INC FILE=self><#FIELD NAME=INDUSTRIES TYPE=ROWS FILE=list>");
    write("hours.html", "<#FIELD NAME=OFFICEHOURS TYPE=NEXT COL=2><#INC FILE=hours>");
    return d;
  }();
  return dir;
}

TJW2DataRec Record(uint8_t AVariant) {
  TJW2DataRec r;
  r.Id = "4711";
  r.TemplateId = 2;
  r.NamePart1 = "M\xFCller";
  jwtest::FillAddress(r);
  if (AVariant & 1) r.PosY = "50x";
  r.BusinessTypes = "a,b";
  r.Industries = {
      "B\xE4"
      "cker",
      "Konditor"};
  r.Searchwords = {"Brot"};
  r.OfficeHoursKind = AVariant % 4;
  r.OfficeHours = {"MOX\t\t08:00\t12:00\t13:00\t18:00", "Di\t9", "", "x"};
  r.EnhInfoKind = (AVariant >> 2) % 3;
  r.EnhInfo = {"a\tb", "c"};
  r.CardVisa = AVariant & 8;
  r.Branches.emplace();
  for (uint32_t i = 0; i < 12; ++i) {
    TJWBranchRec b;
    b.BranchId = i;
    b.Zip = std::to_string(50000 + i * 7 % 12);
    b.Street = "Weg " + std::to_string(i % 5);
    b.Firm = "F" + std::to_string(i);
    b.X = i % 3 ? 6.9 + i * 0.01 : 0.0;
    b.Y = i % 3 ? 50.9 : 0.0;
    r.Branches->push_back(b);
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  const std::string input(reinterpret_cast<const char*>(AData), ASize);
  const size_t lf = input.find('\n');
  const std::string query = lf == std::string::npos ? std::string() : input.substr(0, lf);
  const std::string page = lf == std::string::npos ? input : input.substr(lf + 1);
  const uint8_t variant = ASize ? AData[ASize - 1] : 0;

  const int32_t pageIndex = variant % 8;
  const char* name = pageIndex == 5 ? "route.html" : pageIndex == 6 ? "main2.html" : "main1.html";
  std::ofstream(Dir() / name, std::ios::binary | std::ios::trunc) << page;

  try {
    TJWHTMLProducer producer;
    producer.SetIncludePath(Dir().string() + "/");
    producer.SetQueryParams(query);
    producer.SetDataRec(Record(variant));
    std::string out;
    producer.WritePage(&out, pageIndex);
  } catch (const EJWError&) {
    // a failure the export logs
  }
  return 0;
}
