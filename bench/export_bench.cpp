// The two exports that do the most work, called through the C boundary on entry 2001 of the
// bundled sample (the bakery chain with 14 branch offices), each beside its floor measured in the
// same run:
//   JW_GetHTMLText/N       page N of the entry, as a host asks for it again and again
//   JW_GetHTMLTextNew/N    page N with a request the library has not answered before
//   HTMLFloor/N            loading the entry through the entry reader and reading the page's
//                          template files from disk (the page template and every template file
//                          its text names, followed transitively)
//   HTMLCheckFloor/N       what a page costs at the least when nothing changed: checking the
//                          identity of every file page N uses once (the three data files, the
//                          page template and the includes it reaches) and copying the finished
//                          page's bytes into a fresh stream
//   JW_GetTemplateImages   the template's three pictures and the logo as JPEG files
//   JpegFloor              encoding the same pixels as JPEG with the same encoder
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "html/JWHTMLProducer.h"
#include "jwlib.h"
#include "store/JWDataDirectory.h"
#include "store/JWEButtons.h"
#include "store/JWFolderView.h"
#include "store/JWJpegEncode.h"

namespace {

using namespace jw;
namespace fs = std::filesystem;

constexpr uint32_t kEntry = 2001;
const std::string kData = JW_SAMPLE_DATA "/";
const std::string kTemplates = JW_SAMPLE_TEMPLATES "/";

std::string ReadWhole(const fs::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Ready() {
  static const bool ready = [] {
    if (!fs::exists(kData + EntryDatFileName)) {
      std::fprintf(stderr, "no sample data in %s (build the jwsample target)\n", kData.c_str());
      return false;
    }
    return JW_SetJWDataPath(kData.c_str(), nullptr, 0) == 1;
  }();
  return ready;
}

int32_t PageCount() {
  return Ready() ? JW_ButtonCount(kEntry, 1, 0) : 0;
}

// The page template of page APage and every template file its tags name as a parameter value
// (of the PAGE field's IDX0 to IDX7 only the page's own), followed transitively: the files the
// page can read.
std::vector<fs::path> PageFiles(int APage) {
  TJWEEntryDatFile entries(kData + EntryDatFileName);
  TJW2DataRec rec;
  entries.LoadEntry(kEntry, rec);
  TJWButtonSet set = 0;
  DeriveButtons(rec, true, false, set);
  Include(set, brClose);
  const TJWButtonRec button = Index2JWButton(uint32_t(APage), set);
  const char* main = button == brPointOfPlace ? "route" : button == brBranches ? "main2" : "main1";

  std::vector<std::string> stems;
  for (const auto& f : fs::directory_iterator(kTemplates))
    if (f.path().extension() == ".html") stems.push_back(f.path().stem().string());
  std::set<std::string> seen{main};
  std::vector<std::string> todo{main};
  while (!todo.empty()) {
    const std::string text = ReadWhole(kTemplates + todo.back() + ".html");
    todo.pop_back();
    // Tag parameters name include files as =NAME, possibly quoted.
    auto named = [&](const std::string& AStem) {
      for (size_t p = text.find(AStem); p != std::string::npos; p = text.find(AStem, p + 1)) {
        const size_t end = p + AStem.size();
        const bool before = p > 0 && (text[p - 1] == '=' || text[p - 1] == '"');
        // The PAGE field includes only the file named for this page (IDX0 to IDX7).
        const size_t eq = text.rfind('=', p);
        if (before && eq != std::string::npos && eq >= 4 && text.compare(eq - 4, 3, "IDX") == 0 &&
            text[eq - 1] - '0' != int(button))
          continue;
        const bool after =
            end == text.size() || !(std::isalnum(uint8_t(text[end])) || text[end] == '_');
        if (before && after) return true;
      }
      return false;
    };
    for (const std::string& s : stems)
      if (!seen.count(s) && named(s)) {
        seen.insert(s);
        todo.push_back(s);
      }
  }
  std::vector<fs::path> files;
  for (const std::string& s : seen) files.push_back(kTemplates + s + ".html");
  return files;
}

void BM_GetHTMLText(benchmark::State& AState) {
  if (AState.range(0) >= PageCount()) return AState.SkipWithError("no such page");
  size_t bytes = 0;
  for (auto _ : AState) {
    JWMemoryStream* page =
        JW_GetHTMLText(kEntry, kTemplates.c_str(), uint32_t(AState.range(0)), "", 1, 0);
    if (!page || page->Size == 0) return AState.SkipWithError(JW_GetLastError());
    bytes = size_t(page->Size);
    JW_FreeMemoryStream(page);
  }
  AState.counters["bytes"] = double(bytes);
}

// A request the library has not answered before: a new value of a parameter every page reads, so
// the page is made, not handed out again (what the first request for a page costs).
void BM_GetHTMLTextNew(benchmark::State& AState) {
  if (AState.range(0) >= PageCount()) return AState.SkipWithError("no such page");
  static uint64_t n = 0;  // never the same value twice, over every run of the benchmark
  for (auto _ : AState) {
    const std::string query = "STARTX=0," + std::to_string(++n);
    JWMemoryStream* page =
        JW_GetHTMLText(kEntry, kTemplates.c_str(), uint32_t(AState.range(0)), query.c_str(), 1, 0);
    if (!page || page->Size == 0) return AState.SkipWithError(JW_GetLastError());
    JW_FreeMemoryStream(page);
  }
}

void BM_HTMLFloor(benchmark::State& AState) {
  if (AState.range(0) >= PageCount()) return AState.SkipWithError("no such page");
  const std::vector<fs::path> files = PageFiles(int(AState.range(0)));
  for (auto _ : AState) {
    TJWEEntryDatFile entries(kData + EntryDatFileName);
    TJW2DataRec rec;
    entries.LoadEntry(kEntry, rec);
    benchmark::DoNotOptimize(rec.Branches);
    for (const fs::path& f : files) benchmark::DoNotOptimize(ReadWhole(f));
  }
  AState.counters["files"] = double(files.size());
}

// Page APage as JW_GetHTMLText makes it, and every file the page used.
std::pair<std::string, std::vector<std::string>> PageAndFiles(int APage) {
  auto files = std::make_shared<TJWDataDirectory>(kData);
  files->Recheck();
  TJWButtonSet set = 0;
  DeriveButtons(*files->EntryWithoutLogo(kEntry), true, false, set);
  Include(set, brClose);
  TJWHTMLProducer producer;
  producer.SetShowPoPButton(true);
  producer.OpenDataFiles(files);
  producer.SetIncludePath(kTemplates);
  producer.SetJW2ID(int32_t(kEntry));
  std::string page;
  producer.WritePage(&page, Index2JWButton(uint32_t(APage), set));
  std::vector<std::string> used;
  for (const char* name : {EntryDatFileName, LogoDatFileName, TemplateDatFileName})
    used.push_back(kData + name);
  for (const auto& file : producer.Engine().LastIncludeFolder()->Snapshot().Files)
    used.push_back(kTemplates + file.Name);
  return {page, used};
}

void BM_HTMLCheckFloor(benchmark::State& AState) {
  if (AState.range(0) >= PageCount()) return AState.SkipWithError("no such page");
  const auto [page, files] = PageAndFiles(int(AState.range(0)));
  for (auto _ : AState) {
    platform::TFileIdentity id;
    for (const std::string& f : files) benchmark::DoNotOptimize(platform::IdentityOf(f, id));
    // A stream as the library hands it out: its structure and its bytes.
    auto* stream = static_cast<JWMemoryStream*>(std::malloc(sizeof(JWMemoryStream)));
    auto* copy = static_cast<uint8_t*>(std::malloc(page.size()));
    std::memcpy(copy, page.data(), page.size());
    stream->Memory = copy;
    benchmark::DoNotOptimize(stream);
    std::free(copy);
    std::free(stream);
  }
  AState.counters["files"] = double(files.size());
}

void JWAPI FreeItem(void*, const char*, JWMemoryStream* AStream) {
  JW_FreeMemoryStream(AStream);
}

void BM_GetTemplateImages(benchmark::State& AState) {
  if (!Ready()) return AState.SkipWithError("no sample data");
  JWHostList list{nullptr, FreeItem};
  for (auto _ : AState)
    if (!JW_GetTemplateImages(kEntry, 0, &list)) return AState.SkipWithError(JW_GetLastError());
}

void BM_JpegFloor(benchmark::State& AState) {
  if (!Ready()) return AState.SkipWithError("no sample data");
  TJWDataDirectory files(kData);
  TJW2DataRec rec;
  files.Entries().LoadEntry(kEntry, rec);
  const auto look = files.Templates().GetPictures(uint32_t(rec.TemplateId));
  std::vector<const TJWBitmap*> pictures{look->Image.get(), look->Button1.get(),
                                         look->Button2.get(), rec.Logo.get()};
  for (auto _ : AState)
    for (const TJWBitmap* p : pictures)
      if (p && !p->Empty()) benchmark::DoNotOptimize(EncodeJpeg(*p, JpegQuality));
}

void Pages(benchmark::internal::Benchmark* ABench) {
  for (int page = 0; page < 8; ++page) ABench->Arg(page);
}

BENCHMARK(BM_GetHTMLText)->Apply(Pages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetHTMLTextNew)->Apply(Pages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HTMLFloor)->Apply(Pages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HTMLCheckFloor)->Apply(Pages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetTemplateImages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JpegFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
