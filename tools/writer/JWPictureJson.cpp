#include "tools/writer/JWPictureJson.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

#include "store/JWError.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWTmpWriter.h"

namespace jw {

namespace {

std::string PicturePath(const std::string& ABaseDir, const TJWJson& AValue,
                        const std::string& AWhere) {
  if (!AValue.is_string()) throw EJWError(AWhere + ": a picture must be given as a file name");
  const std::filesystem::path p = std::filesystem::u8path(AValue.get<std::string>());
  return (p.is_absolute() ? p : std::filesystem::path(ABaseDir) / p).string();
}

template <class T>
T Number(const TJWJson& AObject, const char* AKey, T ADefault, const std::string& AWhere) {
  if (!AObject.contains(AKey)) return ADefault;
  const TJWJson& v = AObject[AKey];
  if (!v.is_number_integer()) throw EJWError(AWhere + ": \"" + AKey + "\" must be a whole number");
  return v.get<T>();
}

}  // namespace

std::vector<uint8_t> LoadBmpFile(const std::string& APath) {
  std::ifstream in(APath, std::ios::binary);
  if (!in) throw EJWError("cannot read \"" + APath + "\"");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
    throw EJWError("\"" + APath + "\" is no bitmap file (only BMP pictures can be packed)");
  return bytes;
}

uint32_t ColorFromJson(const TJWJson& AValue) {
  if (AValue.is_number_unsigned()) return AValue.get<uint32_t>();
  const std::string text = AValue.is_string() ? AValue.get<std::string>() : "";
  if (text.size() != 7 || text[0] != '#' ||
      text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    throw EJWError("a colour must be \"#RRGGBB\" or a number");
  const uint32_t rgb = uint32_t(std::stoul(text.substr(1), nullptr, 16));
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

size_t WriteLogosFromJson(const TJWJson& ASource, const std::string& ABaseDir,
                          const std::string& AFileName, const TJWPictureLoader& ALoad) {
  TJWImgWriter writer(AFileName);
  std::map<std::string, uint32_t> stored;  // picture file -> image ordinal
  size_t count = 0;
  if (ASource.contains("Entries"))
    for (const TJWJson& entry : ASource["Entries"]) {
      if (!entry.contains("Logo")) continue;
      const uint32_t id = entry.value("Id", 0u);
      const std::string path = PicturePath(ABaseDir, entry["Logo"], "entry " + std::to_string(id));
      auto it = stored.find(path);
      if (it == stored.end()) it = stored.emplace(path, writer.AddImage(ALoad(path))).first;
      writer.AddIndex(id, it->second);
      ++count;
    }
  writer.Finish();
  return count;
}

size_t WriteTemplatesFromJson(const TJWJson& ASource, const std::string& ABaseDir,
                              const std::string& AFileName, const TJWPictureLoader& ALoad) {
  TJWTmpWriter writer(AFileName);
  writer.SetDefaultId(Number<uint32_t>(ASource, "DefaultTemplate", 1, "description"));
  const TJWJson templates = ASource.value("Templates", TJWJson::array());
  for (const TJWJson& t : templates) {
    TJWTemplateFixture f;
    f.Id = Number<uint32_t>(t, "Id", 0, "template");
    const std::string where = "template " + std::to_string(f.Id);
    const std::pair<const char*, std::vector<uint8_t> TJWTemplateFixture::*> pictures[] = {
        {"Image", &TJWTemplateFixture::Image},
        {"Button1", &TJWTemplateFixture::Button1},
        {"Button2", &TJWTemplateFixture::Button2}};
    for (const auto& [key, member] : pictures)
      if (t.contains(key)) f.*member = ALoad(PicturePath(ABaseDir, t[key], where));
    f.NavigationLeft = Number<int32_t>(t, "NavigationLeft", 0, where);
    f.CaptionLeft = Number<int32_t>(t, "CaptionLeft", 0, where);
    if (t.contains("BackgroundColor")) {
      try {
        f.BackgroundColor = ColorFromJson(t["BackgroundColor"]);
      } catch (const EJWError& e) {
        throw EJWError(where + ": " + e.what());
      }
    }
    writer.Add(f);
  }
  writer.Finish();
  return templates.size();
}

}  // namespace jw
