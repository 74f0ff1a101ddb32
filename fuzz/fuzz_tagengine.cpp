// Feeds arbitrary bytes to the tag engine as a template. Errors the engine reports (EJWError) are
// expected; anything else — a crash, a sanitizer report, another exception, a hang — is a fault.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "html/ZDEnhPageProducer.h"
#include "store/JWError.h"

namespace {

std::filesystem::path gIncludeDir;

void RemoveIncludeDir() {
  std::error_code ec;
  std::filesystem::remove_all(gIncludeDir, ec);
}

// A few include files so that inputs can reach INC, ACCEPT and the nesting bound: plain rows,
// rows with fields, a file that includes itself and two files that include each other.
void MakeIncludeDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "jwfuzz-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) abort();
  gIncludeDir = tmpl;
  atexit(RemoveIncludeDir);
  const std::pair<const char*, const char*> files[] = {
      {"row", "<tr><td><#FIELD NAME=A></td><td><#FIELD NAME=N></td></tr>\n"},
      {"empty", ""},
      {"self", "x<#INC FILE=self ACCEPT=DATA>\r<#FIELD NAME=A MARK=FALSE>"},
      {"a", "<#INC FILE=b ACCEPT=EVER><#DEFAULT FONT-SIZE=x>"},
      {"b", "<#INC FILE=a><#FIELD NAME=E ELLIPSIS=TRUE MAXWIDTH=20>"},
  };
  for (const auto& [name, text] : files)
    std::ofstream(gIncludeDir / (std::string(name) + ".html"), std::ios::binary) << text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (gIncludeDir.empty()) MakeIncludeDir();
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  jw::TZDEnhPageProducer engine;
  engine.SetIncludePath(gIncludeDir.string());
  engine.OnGetField = [](jw::TZDEnhPageProducer&, const std::string& name,
                         const jw::TZDParamList& params) -> std::string {
    if (name.empty() || name == "E") return "";
    if (name == "N") return "&nbsp;";
    return name + params.Values("VALUE");
  };
  engine.OnCustomEvent = [](jw::TZDEnhPageProducer&, const std::string& tag,
                            const jw::TZDParamList& params) -> std::string {
    return params.Count() > 1 ? tag : std::string();
  };
  try {
    engine.ContentOf(input);
  } catch (const jw::EJWError&) {
  }
  try {
    jw::TZDEnhPageProducer::ExtractTagParams(input, size % 2 == 0);
  } catch (const jw::EJWError&) {
  }
  return 0;
}
