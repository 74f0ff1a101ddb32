// jwhost: a host program for the library. It loads the library with dlopen, installs its own
// memory routines, points it at a data directory and then offers the library's services:
//
//   jwhost [--lib SO] [--data DIR] [--templates DIR] COMMAND ...
//     version                          the library's version text
//     list                             the entry identifiers of the data directory
//     buttons ID                       count, captions, names and positions of the buttons
//     page ID [PAGE] [--params Q] [--out FILE]   one HTML page (Windows-1252 bytes)
//     pages OUTDIR [ID...]             every page of the entries (all when none is named) as files
//     images ID OUTDIR [--template T]  template pictures and logo as JPEG files
//     thumb ID OUT.png [--width W]     a thumbnail of the viewer window
//     show ID [--start N]              the viewer window (modal)
//     serve [--port P] [--bind ADDR] [--per-address N]   a local web server showing every entry
//   Location flags for buttons/page/pages/show: --no-location, --force-location.
//
// Every command defaults to the bundled sample directory and page templates: those of the build
// when jwhost runs from its build folder, otherwise those installed beside it (the library in
// ../lib/<multiarch>, the sample in ../share/jwlib). Exit codes: 0 done, 1 the library could not be
// loaded or reported a failure (its message goes to stderr), 2 usage.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "jwcli.h"
#include "jwhost.h"

namespace {

using namespace jwhost;
using jw::kExitFailure;

struct TArgs {
  std::string Lib, Data, Templates;
  uint32_t Id = 0, Page = 0;
  std::vector<uint32_t> Ids;
  std::string Params, Out, OutDir, Bind = "127.0.0.1";
  uint32_t Width = 240, Start = 0, Port = 8080, Template = 0, PerAddress = 32;
  uint8_t ShowLocation = 1, ForceLocation = 0;
};

// The library, the sample directory and the page templates used when none is named.
void SetDefaultPaths(TArgs& A) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exeDir = fs::read_symlink("/proc/self/exe", ec).parent_path();
  if (ec || fs::equivalent(exeDir, JWHOST_BUILD_DIR, ec)) {
    A.Lib = JWHOST_LIBRARY;
    A.Data = JWHOST_DATA;
    A.Templates = JWHOST_TEMPLATES;
    return;
  }
  A.Lib = (exeDir / JWHOST_INSTALLED_LIBRARY).lexically_normal().string();
  A.Data = (exeDir / JWHOST_INSTALLED_DATA).lexically_normal().string();
  A.Templates = (exeDir / JWHOST_INSTALLED_TEMPLATES).lexically_normal().string();
}

int Failed(const TLibrary& L, const char* AWhat) {
  const std::string why = L.LastError();
  std::fprintf(stderr, "jwhost: %s failed: %s\n", AWhat,
               why.empty() ? "(no message)" : why.c_str());
  return kExitFailure;
}

bool WriteFile(const std::string& APath, const std::string& ABytes) {
  std::ofstream out(APath, std::ios::binary);
  out.write(ABytes.data(), std::streamsize(ABytes.size()));
  return bool(out);
}

int CmdButtons(const TLibrary& L, const TArgs& A, uint32_t AId) {
  const int32_t count = L.ButtonCount(AId, A.ShowLocation, A.ForceLocation);
  if (count < 0) return Failed(L, "JW_ButtonCount");
  char buffer[512];
  L.ButtonCaptions(AId, A.ShowLocation, A.ForceLocation, buffer, sizeof buffer);
  const std::string set = L.GetButtonSet(AId, A.ShowLocation, A.ForceLocation);
  std::printf("count: %d\ncaptions: %s\nbuttons: %s\n", count, ToUtf8(buffer).c_str(), set.c_str());
  size_t start = 0;
  while (start < set.size()) {
    size_t end = set.find('|', start);
    if (end == std::string::npos) end = set.size();
    const std::string name = set.substr(start, end - start);
    const std::string pos = L.Button2Index(AId, name.c_str(), A.ShowLocation, A.ForceLocation);
    L.ButtonCaption(AId, uint32_t(std::stoul(pos)), A.ShowLocation, A.ForceLocation, buffer,
                    sizeof buffer);
    std::printf("  %s = %s%s\n", pos.c_str(), name.c_str(),
                name == "brClose" ? "" : (" (" + ToUtf8(buffer) + ")").c_str());
    start = end + 1;
  }
  return 0;
}

int CmdPage(const TLibrary& L, const TArgs& A, uint32_t AId) {
  const std::string dir = A.Templates + "/";
  JWMemoryStream* stream =
      L.GetHTMLText(AId, dir.c_str(), A.Page, A.Params.c_str(), A.ShowLocation, A.ForceLocation);
  if (!stream) return Failed(L, "JW_GetHTMLText");
  const std::string html = TakeStream(stream);
  if (html.empty() && !L.LastError().empty()) return Failed(L, "JW_GetHTMLText");
  if (!A.Out.empty()) {
    if (!WriteFile(A.Out, html)) {
      std::fprintf(stderr, "jwhost: cannot write %s\n", A.Out.c_str());
      return kExitFailure;
    }
  } else {
    std::fwrite(html.data(), 1, html.size(), stdout);
  }
  return 0;
}

// Every button page of each entry, plus the location page, the branch search and the branch list
// by distance: ID-N.html, ID-route.html, ID-search.html, ID-dist.html.
int CmdPages(const TLibrary& L, const TArgs& A) {
  const std::string& dir = A.OutDir;
  std::vector<uint32_t> ids = A.Ids;
  if (ids.empty()) {
    std::string error;
    if (!ReadEntryIds(A.Data, ids, error)) {
      std::fprintf(stderr, "jwhost: %s\n", error.c_str());
      return kExitFailure;
    }
  }
  QDir().mkpath(QString::fromStdString(dir));
  const std::string templates = A.Templates + "/";
  size_t written = 0;
  for (uint32_t id : ids) {
    const int32_t count = L.ButtonCount(id, A.ShowLocation, A.ForceLocation);
    if (count < 0) return Failed(L, "JW_ButtonCount");
    std::vector<std::pair<std::string, std::string>> requests;  // file suffix, (page, params)
    for (int32_t p = 0; p < std::max(count, 1); ++p) requests.push_back({std::to_string(p), ""});
    requests.push_back({"route", "FORCEPAGE=5"});
    requests.push_back({"search", "FORCEPAGE=6&BRANCHES_PAGE=SEARCH"});
    requests.push_back({"dist", "FORCEPAGE=6&BRANCHES_SORT=DIST&STARTX=417&STARTY=3056"});
    for (const auto& [name, params] : requests) {
      const uint32_t page = params.empty() ? uint32_t(std::stoul(name)) : 0;
      JWMemoryStream* s = L.GetHTMLText(id, templates.c_str(), page, params.c_str(), A.ShowLocation,
                                        A.ForceLocation);
      if (!s) return Failed(L, "JW_GetHTMLText");
      const std::string file = dir + "/" + std::to_string(id) + "-" + name + ".html";
      if (!WriteFile(file, TakeStream(s))) {
        std::fprintf(stderr, "jwhost: cannot write %s\n", file.c_str());
        return kExitFailure;
      }
      ++written;
    }
  }
  std::printf("%zu pages of %zu entries written to %s\n", written, ids.size(), dir.c_str());
  return 0;
}

int CmdImages(const TLibrary& L, const TArgs& A, uint32_t AId) {
  const std::string& dir = A.OutDir;
  std::vector<TPicture> pictures;
  const bool ok = GetTemplatePictures(L, AId, uint32_t(A.Template), pictures);
  if (!ok) return Failed(L, "JW_GetTemplateImages");
  QDir().mkpath(QString::fromStdString(dir));
  for (const TPicture& p : pictures) {
    // The names come from the library; keep them to plain file names.
    if (p.Name.empty() || p.Name.find('/') != std::string::npos || p.Name[0] == '.') continue;
    if (!WriteFile(dir + "/" + p.Name, p.Bytes)) {
      std::fprintf(stderr, "jwhost: cannot write %s/%s\n", dir.c_str(), p.Name.c_str());
      return kExitFailure;
    }
    std::printf("%s\t%zu bytes\n", p.Name.c_str(), p.Bytes.size());
  }
  return 0;
}

int CmdThumb(const TLibrary& L, const TArgs& A, uint32_t AId) {
  std::string png;
  if (!GetThumbnailPng(L, AId, int32_t(A.Width), png)) return Failed(L, "JW_GetMiniaturBitmap");
  if (!WriteFile(A.Out, png)) {
    std::fprintf(stderr, "jwhost: cannot write %s\n", A.Out.c_str());
    return kExitFailure;
  }
  return 0;
}

// --- the host routines the viewer window calls -------------------------------------------------

std::string Short(const JWShortString255& S) {
  return ToUtf8(std::string(S.Text, S.Length));
}

void JWAPI OnPointOfPlace(const JWPointOfPlaceRec* R) {
  if (!R) return;
  std::printf("Standort: %s %s%s, %s %s (Position %s / %s)\n", Short(R->Street).c_str(),
              Short(R->StreetNo).c_str(), Short(R->StreetAdd).c_str(), Short(R->Zip).c_str(),
              Short(R->City).c_str(), Short(R->PosX).c_str(), Short(R->PosY).c_str());
  std::fflush(stdout);
}

void JWAPI OnGetStartPosition(double* East, double* North, uintptr_t) {
  // This host has no position of its own; it keeps what the window has.
  if (East && North) std::printf("start position asked: %.4f / %.4f\n", *East, *North);
  std::fflush(stdout);
}

// A tiny gazetteer: postcode areas and towns of the sample region.
struct TPlace {
  const char* ZipPrefix;
  const char* Town;  // Windows-1252
  double East, North;
};
const TPlace kPlaces[] = {
    {"506", "K\xF6ln", 6.9583, 50.9375},
    {"507", "K\xF6ln", 6.9583, 50.9375},
    {"508", "K\xF6ln", 6.9, 50.95},
    {"509", "K\xF6ln", 6.92, 50.92},
    {"510", "K\xF6ln", 7.02, 50.94},
    {"511", "K\xF6ln", 7.01, 50.96},
    {"531", "Bonn", 7.0982, 50.7374},
    {"532", "Bonn", 7.12, 50.73},
    {"402", "D\xFCsseldorf", 6.7735, 51.2277},
    {"404", "D\xFCsseldorf", 6.78, 51.24},
    {"513", "Leverkusen", 6.9847, 51.0303},
    {"514", "Bergisch Gladbach", 7.13, 50.99},
    {"503", "Br\xFChl", 6.9049, 50.8292},
    {"502", "Frechen", 6.8141, 50.9116},
    {"537", "Siegburg", 7.2046, 50.7998},
    {"451", "Essen", 7.0116, 51.4556},
    {"441", "Dortmund", 7.4653, 51.5136},
    {"520", "Aachen", 6.0839, 50.7753},
    {"421", "Wuppertal", 7.1508, 51.2562},
    {"428", "Remscheid", 7.1897, 51.1787},
};

bool SameText(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(A[i])) !=
        std::tolower(static_cast<unsigned char>(B[i])))
      return false;
  return true;
}

uint8_t JWAPI OnLocateAddress(const char* AStreet, const char* AZip, const char* ATown,
                              double* East, double* North) {
  const std::string zip = AZip ? AZip : "", town = ATown ? ATown : "";
  for (const TPlace& p : kPlaces) {
    const bool zipHit = zip.size() >= 3 && zip.compare(0, 3, p.ZipPrefix) == 0;
    if ((zipHit || (!town.empty() && SameText(town, p.Town))) && East && North) {
      *East = p.East;
      *North = p.North;
      std::printf("located %s, %s %s at %.4f / %.4f\n", ToUtf8(AStreet ? AStreet : "").c_str(),
                  zip.c_str(), ToUtf8(town).c_str(), p.East, p.North);
      std::fflush(stdout);
      return 1;
    }
  }
  return 0;
}

int CmdShow(const TLibrary& L, const TArgs& A, uint32_t AId) {
  L.ShowForm(AId, A.Start, 1, 0, A.ForceLocation, OnPointOfPlace, OnGetStartPosition,
             OnLocateAddress);
  if (!L.LastError().empty()) return Failed(L, "JW_ShowForm");
  return 0;
}

int CmdList(const TArgs& A) {
  std::vector<uint32_t> ids;
  std::string error;
  if (!ReadEntryIds(A.Data, ids, error)) {
    std::fprintf(stderr, "jwhost: %s\n", error.c_str());
    return kExitFailure;
  }
  for (uint32_t id : ids) std::printf("%u\n", id);
  return 0;
}

bool NeedsGui(const std::string& ACommand) {
  return ACommand == "thumb" || ACommand == "show" || ACommand == "serve";
}

// "jwhost 2.5.0 (Riridov 2.5, /usr/lib/x86_64-linux-gnu/libjwlib.so.2)": the package version, and
// the version text of the library this jwhost loads.
std::string VersionText(const std::string& ALib) {
  std::string text = std::string("jwhost ") + JW_PACKAGE_VERSION + " (";
  TLibrary lib;
  std::string error;
  if (!lib.Load(ALib, error)) return text + "library not loaded: " + error + ")";
  char* version = lib.GetDLLVersion();
  text += version ? version : "no version text";
  HostFreeMem(version);
  return text + ", " + ALib + ")";
}

}  // namespace

int main(int argc, char** argv) {
  TArgs A;
  SetDefaultPaths(A);
  CLI::App app{"Loads the library like any host program and offers its services.", "jwhost"};
  // Options of the tool may also follow the command ("jwhost page 1003 --no-location").
  app.fallthrough();
  app.require_subcommand(1);
  app.add_option("--lib", A.Lib, "the library to load")->capture_default_str();
  app.add_option("--data", A.Data, "the data directory")->capture_default_str();
  app.add_option("--templates", A.Templates, "the page templates")->capture_default_str();
  app.add_flag_callback(
      "--no-location", [&] { A.ShowLocation = 0; }, "leave the location button out");
  app.add_flag_callback(
      "--force-location", [&] { A.ForceLocation = 1; },
      "show the location button even where the entry hides it");
  app.set_version_flag("--version", [&] { return VersionText(A.Lib); });

  const CLI::Validator id = jw::Decimal(0, UINT32_MAX);
  app.add_subcommand("version", "the library's version text");
  app.add_subcommand("list", "the entry identifiers of the data directory");
  CLI::App* c =
      app.add_subcommand("buttons", "count, captions, names and positions of the buttons");
  c->add_option("ID", A.Id, "entry identifier")->required()->transform(id);
  c = app.add_subcommand("page", "one HTML page (Windows-1252 bytes)");
  c->add_option("ID", A.Id, "entry identifier")->required()->transform(id);
  c->add_option("PAGE", A.Page, "button position")->transform(id);
  c->add_option("--params", A.Params, "request parameters, NAME=VALUE&...");
  c->add_option("--out", A.Out, "write the page into this file instead of stdout");
  c = app.add_subcommand("pages", "every page of the entries (all when none is named) as files");
  c->add_option("OUTDIR", A.OutDir, "folder for the pages")->required();
  c->add_option("ID", A.Ids, "entry identifiers")->transform(id);
  c = app.add_subcommand("images", "template pictures and logo as JPEG files");
  c->add_option("ID", A.Id, "entry identifier")->required()->transform(id);
  c->add_option("OUTDIR", A.OutDir, "folder for the pictures")->required();
  c->add_option("--template", A.Template, "template identifier")
      ->transform(jw::Decimal(0, INT32_MAX));
  c = app.add_subcommand("thumb", "a thumbnail of the viewer window as PNG");
  c->add_option("ID", A.Id, "entry identifier")->required()->transform(id);
  c->add_option("OUT.png", A.Out, "the picture to write")->required();
  c->add_option("--width", A.Width, "width in pixels")
      ->capture_default_str()
      ->transform(jw::Decimal(2, 4096));
  c = app.add_subcommand("show", "the viewer window (modal)");
  c->add_option("ID", A.Id, "entry identifier")->required()->transform(id);
  c->add_option("--start", A.Start, "button position to open")->transform(jw::Decimal(0, 7));
  c = app.add_subcommand("serve", "a local web server showing every entry");
  c->add_option("--port", A.Port, "port (0: any free one)")
      ->capture_default_str()
      ->transform(jw::Decimal(0, 65535));
  c->add_option("--bind", A.Bind, "address to listen on")->capture_default_str();
  c->add_option("--per-address", A.PerAddress,
                "connections one client address may hold (0: no limit; behind a proxy, the "
                "proxy is the one client)")
      ->capture_default_str()
      ->transform(jw::Decimal(0, 256));
  if (const int code = jw::ParseCommandLine(app, argc, argv); code >= 0) return code;
  const std::string cmd = app.get_subcommands().front()->get_name();

  // The viewer needs a Qt application; a host that has one shares it with the library. Without a
  // display, windows are drawn off screen.
  std::unique_ptr<QApplication> qtApp;
  if (NeedsGui(cmd)) {
    if (cmd != "show" && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    if (cmd == "show" && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      // A modal window nobody can see would never be closed.
      std::fputs("jwhost: show needs a display (try: jwhost thumb ID OUT.png --width 705)\n",
                 stderr);
      return kExitFailure;
    }
    static int qargc = 1;
    qtApp = std::make_unique<QApplication>(qargc, argv);
  }

  if (cmd == "list") return CmdList(A);

  TLibrary lib;
  std::string error;
  if (!lib.Load(A.Lib, error)) {
    std::fprintf(stderr, "jwhost: %s\n", error.c_str());
    return kExitFailure;
  }
  if (!lib.SetJWDataPath(A.Data.c_str(), nullptr, 0)) {
    std::fprintf(stderr, "jwhost: the library refused the data path \"%s\"\n", A.Data.c_str());
    return kExitFailure;
  }

  if (cmd == "version") {
    char* version = lib.GetDLLVersion();
    if (!version) return Failed(lib, "JW_GetDLLVersion");
    std::printf("%s\n", version);
    HostFreeMem(version);
    return 0;
  }
  if (cmd == "pages") return CmdPages(lib, A);
  if (cmd == "serve") {
    TServeOptions o;
    o.Bind = A.Bind;
    o.Port = uint16_t(A.Port);
    o.MaxPerAddress = A.PerAddress;
    o.Templates = A.Templates;
    o.DataDir = A.Data;
    return Serve(lib, o);
  }
  if (cmd == "buttons") return CmdButtons(lib, A, A.Id);
  if (cmd == "page") return CmdPage(lib, A, A.Id);
  if (cmd == "images") return CmdImages(lib, A, A.Id);
  if (cmd == "thumb") return CmdThumb(lib, A, A.Id);
  return CmdShow(lib, A, A.Id);
}
