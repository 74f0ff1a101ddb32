#include "tools/writer/JWTmpWriter.h"

#include <fstream>
#include <tuple>

#include "store/JWError.h"
#include "tools/writer/DeflateRaw.h"

namespace jw {

namespace {

void Put32(std::ofstream& out, uint32_t v) {
  const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  out.write(b, 4);
}

}  // namespace

std::pair<uint32_t, uint32_t> TJWTmpWriter::AddData(const std::vector<uint8_t>& ABytes, bool ARaw) {
  const std::vector<uint8_t> stored = ARaw ? ABytes : DeflateRaw(ABytes);
  const auto offset = uint32_t(FData.size());
  FData.insert(FData.end(), stored.begin(), stored.end());
  return {offset, uint32_t(stored.size())};
}

void TJWTmpWriter::Add(const TJWTemplateFixture& t) {
  TJWTemplateEntry e;
  e.Id = t.Id;
  auto store = [&](const std::vector<uint8_t>& bmp, uint32_t& offset, uint32_t& size) {
    if (bmp.empty()) return;
    std::tie(offset, size) = AddData(bmp);
  };
  store(t.Image, e.ImageOffset, e.ImageSize);
  store(t.Button1, e.Button1Offset, e.Button1Size);
  store(t.Button2, e.Button2Offset, e.Button2Size);
  e.NavigationLeft = t.NavigationLeft;
  e.BackgroundColor = t.BackgroundColor;
  e.CaptionLeft = t.CaptionLeft;
  AddEntry(e);
}

void TJWTmpWriter::Finish() {
  std::ofstream out(FPath, std::ios::binary | std::ios::trunc);
  if (!out) throw EJWError("Cannot write \"" + FPath + "\"");
  Put32(out, FCount.value_or(uint32_t(FEntries.size())));
  Put32(out, FEntrySize);
  Put32(out, FDefaultId);
  for (const TJWTemplateEntry& e : FEntries)
    for (uint32_t v :
         {e.Id, e.ImageOffset, e.ImageSize, e.Button1Offset, e.Button1Size, e.Button2Offset,
          e.Button2Size, uint32_t(e.NavigationLeft), e.BackgroundColor, uint32_t(e.CaptionLeft)})
      Put32(out, v);
  out.write(reinterpret_cast<const char*>(FData.data()), std::streamsize(FData.size()));
  out.close();
  if (!out) throw EJWError("Cannot write \"" + FPath + "\"");
}

}  // namespace jw
