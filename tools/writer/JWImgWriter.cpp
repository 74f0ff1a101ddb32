#include "tools/writer/JWImgWriter.h"

#include <fstream>

#include "store/JWError.h"
#include "tools/writer/DeflateRaw.h"

namespace jw {

namespace {

void Put32(std::ofstream& out, uint32_t v) {
  const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  out.write(b, 4);
}

}  // namespace

uint32_t TJWImgWriter::AddImage(const std::vector<uint8_t>& ABmpFile) {
  return AddRawImage(DeflateRaw(ABmpFile));
}

uint32_t TJWImgWriter::AddRawImage(const std::vector<uint8_t>& APayload) {
  FImages.push_back(APayload);
  return uint32_t(FImages.size() - 1);
}

void TJWImgWriter::Finish() {
  std::ofstream out(FPath, std::ios::binary | std::ios::trunc);
  if (!out) throw EJWError("Cannot write \"" + FPath + "\"");
  Put32(out, FCount.value_or(uint32_t(FIndex.size())));
  for (const TIndexEntry& e : FIndex) {
    Put32(out, e.Id);
    Put32(out, e.ImageNo);
  }
  for (const auto& image : FImages) {
    Put32(out, uint32_t(image.size()));
    out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
  }
  out.close();
  if (!out) throw EJWError("Cannot write \"" + FPath + "\"");
}

}  // namespace jw
