// The web server of the demo host: it plays the browser component a host program would embed.
//   /                  index of all entries with their thumbnails
//   /entry/ID          page of an entry (JW_GetHTMLText); the query string goes back as AParams,
//                      its "page" parameter selects the button position
//   /entry/NAME.jpg    template pictures and logo (JW_GetTemplateImages), ?jwid=ID&tmpid=T
//   /entry/FILE        other static files of the template directory (.svg, .png, .css, .gif)
//   /thumb/ID.png      thumbnail of the entry's viewer window (JW_GetMiniaturBitmap)
#include <stdlib.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <list>
#include <map>
#include <sstream>
#include <unordered_map>

#include "../store/JWDataFileNames.h"
#include "jwhost.h"
#include "jwhosthttp.h"
#include "jwhostwatch.h"

namespace jwhost {

namespace {

namespace fs = std::filesystem;

// The host's own one-line template: it asks the library for the name and town of an entry.
const char* const kCardTemplate = "<#FIELD NAME=FIRM>\t<#FIELD NAME=ZIP> <#FIELD NAME=CITY>\n";

THttpResponse Text(int AStatus, const std::string& AMessage) {
  return {AStatus, "text/plain; charset=utf-8", AMessage, ""};
}

THttpResponse Ok(const std::string& AType, std::string ABody) {
  return {200, AType, std::move(ABody), ""};
}

std::string HtmlEscape(const std::string& AText) {
  std::string out;
  for (char c : AText) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Replaces the line-break marker of entry names by a dash.
std::string FlattenName(std::string AName) {
  for (size_t pos = 0; (pos = AName.find("<BR>", pos)) != std::string::npos;)
    AName.replace(pos, 4, " \x96 ");
  for (size_t pos = 0; (pos = AName.find("<br>", pos)) != std::string::npos;)
    AName.replace(pos, 4, " \x96 ");
  return AName;
}

bool ParseU32(const std::string& AText, uint32_t& AValue) {
  if (AText.empty() || AText.size() > 10 ||
      AText.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const unsigned long long v = std::stoull(AText);
  if (v > 0xFFFFFFFFull) return false;
  AValue = uint32_t(v);
  return true;
}

bool EndsWith(const std::string& AText, const std::string& AEnd) {
  return AText.size() >= AEnd.size() &&
         AText.compare(AText.size() - AEnd.size(), AEnd.size(), AEnd) == 0;
}

// The identity of a file as the file system sees it: replaced, rewritten or renamed-over files
// all change it. A missing file has an identity too.
void AppendIdentity(std::string& AOut, const std::string& APath) {
  struct stat st {};
  if (::stat(APath.c_str(), &st) != 0) {
    AOut += "-;";
    return;
  }
  AOut += std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' +
          std::to_string(st.st_size) + ':' + std::to_string(st.st_mtim.tv_sec) + '.' +
          std::to_string(st.st_mtim.tv_nsec) + ';';
}

uint64_t Fnv1a(const std::string& AText) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : AText) h = (h ^ c) * 1099511628211ull;
  return h;
}

std::string Hex(uint64_t AValue) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(AValue));
  return buffer;
}

// Answers already made, under the identities of the data files and templates they were made from
// and the whole request (not its hashed tag, which a crafted request could collide with): such an
// answer cannot change, so a page asked for again costs a copy instead of a library call. Bounded
// in bytes and count; the least recently used answers go first.
class TAnswers {
 public:
  static constexpr size_t MaxBytes = size_t{32} << 20;
  static constexpr size_t MaxCount = 4096;

  const THttpResponse* Find(const std::string& AKey) {
    const auto it = Index.find(AKey);
    if (it == Index.end()) return nullptr;
    Items.splice(Items.begin(), Items, it->second);
    return &it->second->second;
  }
  void Put(const std::string& AKey, const THttpResponse& AResponse) {
    const size_t bytes = AResponse.Body.size() + AKey.size();
    if (bytes > MaxBytes / 8 || Index.count(AKey)) return;
    Items.emplace_front(AKey, AResponse);
    Index.emplace(AKey, Items.begin());
    Bytes += bytes;
    while (Bytes > MaxBytes || Items.size() > MaxCount) {
      const auto& last = Items.back();
      Bytes -= last.second.Body.size() + last.first.size();
      Index.erase(last.first);
      Items.pop_back();
    }
  }
  void Clear() {
    Index.clear();
    Items.clear();
    Bytes = 0;
  }

 private:
  std::list<std::pair<std::string, THttpResponse>> Items;  // most recently used first
  std::unordered_map<std::string, std::list<std::pair<std::string, THttpResponse>>::iterator> Index;
  size_t Bytes = 0;
};

// Entries of the template folder looked at, at most; a larger tree is not looked at further.
constexpr size_t kMaxTemplateEntries = 10000;

class THost {
 public:
  THost(const TLibrary& ALib, const TServeOptions& AOptions) : Lib(ALib), Options(AOptions) {
    std::string dir = (fs::temp_directory_path() / "jwhost-card-XXXXXX").string();
    if (::mkdtemp(dir.data())) {
      CardDir = dir;
      std::ofstream(CardDir + "/main1.html", std::ios::binary) << kCardTemplate;
    }
  }
  ~THost() {
    std::error_code ec;
    if (!CardDir.empty()) fs::remove_all(CardDir, ec);
  }

  THttpResponse Handle(const THttpRequest& ARequest) {
    // Every answer depends on the data files, the templates and the request alone, so their
    // identities make its tag; a client holding that tag gets no body.
    // The files are looked at again only when the folders may have changed.
    if (Watch.Changed()) {
      const std::string data = DataIdentity();
      if (data != SeenData) {
        SeenData = data;
        Thumbs.clear();
        IndexHtml.clear();
        Answers.Clear();
      }
      Files = Hex(Fnv1a(data + TemplateIdentity()));
    }
    const std::string request = ARequest.Path + "?" + ARequest.RawQuery;
    const std::string tag = "\"" + Files + "-" + Hex(Fnv1a(request)) + "\"";
    if (ETagMatches(ARequest.IfNoneMatch, tag)) return {304, "", "", tag};
    const std::string key = Files + ' ' + request;
    if (const THttpResponse* known = Answers.Find(key)) return *known;
    THttpResponse r = Route(ARequest);
    if (r.Status == 200) {
      r.ETag = tag;
      Answers.Put(key, r);
    }
    return r;
  }

 private:
  const TLibrary& Lib;
  TServeOptions Options;
  std::string CardDir;
  TFolderWatch Watch{{Options.DataDir, Options.Templates}};
  std::string Files;                       // the data and template files' identities, hashed
  std::string SeenData;                    // identity of the data files the caches belong to
  std::string IndexHtml;                   // the index page of those files
  std::map<uint32_t, std::string> Thumbs;  // rendering a window is slow
  TAnswers Answers;                        // of those files and the templates

  THttpResponse Route(const THttpRequest& ARequest) {
    const std::string& path = ARequest.Path;
    if (path == "/") return Index();
    for (const char* prefix : {"/entry/", "/thumb/"}) {
      const size_t n = std::strlen(prefix);
      if (path.compare(0, n, prefix) != 0) continue;
      const std::string arg = path.substr(n);
      if (arg.empty() || arg.find('/') != std::string::npos) break;
      return prefix[1] == 'e' ? Entry(arg, ARequest.RawQuery) : Thumb(arg);
    }
    return Text(404, "not found");
  }

  std::string DataIdentity() const {
    std::string id;
    for (const char* name : {jw::EntryDatFileName, jw::LogoDatFileName, jw::TemplateDatFileName})
      AppendIdentity(id, Options.DataDir + "/" + name);
    return id;
  }

  // The template folder with its subfolders (includes may name files in them): every name and
  // identity, walked again only when the watch reports a change. The folders found are watched.
  std::string TemplateIdentity() {
    std::string id;
    AppendIdentity(id, Options.Templates);
    std::vector<std::string> folders{Options.DataDir, Options.Templates};
    std::vector<std::string> names;
    std::error_code ec;
    fs::recursive_directory_iterator it(Options.Templates,
                                        fs::directory_options::skip_permission_denied, ec),
        end;
    for (size_t seen = 0; !ec && it != end && seen < kMaxTemplateEntries;
         it.increment(ec), ++seen) {
      const std::string name = it->path().filename().string();
      if (!name.empty() && name[0] == '.') {
        it.disable_recursion_pending();
        continue;
      }
      names.push_back(it->path().lexically_relative(Options.Templates).string());
      if (it->is_directory(ec) && !it->is_symlink(ec)) folders.push_back(it->path().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      id += name + '=';
      AppendIdentity(id, Options.Templates + "/" + name);
    }
    Watch.SetFolders(std::move(folders));
    return id;
  }

  THttpResponse Index() {
    if (IndexHtml.empty()) {
      std::vector<uint32_t> ids;
      std::string error;
      if (!ReadEntryIds(Options.DataDir, ids, error)) return Text(500, error);
      IndexHtml = IndexPage(ids);
    }
    return Ok("text/html; charset=utf-8", IndexHtml);
  }

  std::string IndexPage(const std::vector<uint32_t>& AIds) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\">"
        "<title>Branchenbuch Rhein-Ruhr</title><link rel=\"icon\" href=\"data:,\">\n"
        "<style>body{margin:0;padding:24px;font:15px/1.4 'Liberation Sans',Arial,sans-serif;"
        "background:#f4efe8;color:#222}h1{margin:0 0 4px}p.unter{margin:0 0 20px;color:#666}"
        ".raster{display:grid;grid-template-columns:repeat(auto-fill,minmax(250px,1fr));gap:16px}"
        ".eintrag{display:block;background:#fff;border-radius:10px;padding:10px;"
        "box-shadow:0 2px 10px rgba(0,0,0,.12);color:inherit;text-decoration:none}"
        ".eintrag:hover{box-shadow:0 4px 18px rgba(0,0,0,.22)}"
        ".eintrag img{display:block;width:100%;height:auto;border-radius:6px;background:#eee}"
        ".eintrag b{display:block;margin-top:8px}.eintrag span{color:#666;font-size:13px}"
        "</style></head><body>\n<h1>Branchenbuch Rhein-Ruhr</h1>\n"
        "<p class=\"unter\">" +
        std::to_string(AIds.size()) +
        " Eintr\xC3\xA4ge \xC2\xB7 Beispieldaten, alle Firmen sind frei erfunden</p>\n"
        "<div class=\"raster\">\n";
    for (uint32_t id : AIds) {
      std::string name = "Eintrag " + std::to_string(id), place;
      const std::string card = Card(id);
      const size_t tab = card.find('\t');
      if (tab != std::string::npos) {
        name = ToUtf8(FlattenName(card.substr(0, tab)));
        place = ToUtf8(card.substr(tab + 1));
        while (!place.empty() && (place.back() == '\n' || place.back() == '\r')) place.pop_back();
      }
      const std::string sid = std::to_string(id);
      html += "<a class=\"eintrag\" id=\"e" + sid + "\" href=\"/entry/" + sid +
              "\"><img src=\"/thumb/" + sid + ".png\" width=\"240\" height=\"157\" alt=\"\"><b>" +
              HtmlEscape(name) + "</b><span>" + HtmlEscape(place) + "</span></a>\n";
    }
    html += "</div>\n</body></html>\n";
    return html;
  }

  THttpResponse Entry(const std::string& AArg, const std::string& ARawQuery) {
    uint32_t id = 0;
    if (ParseU32(AArg, id)) return Page(id, ARawQuery);
    if (AArg[0] >= '0' && AArg[0] <= '9') return Text(400, "not an entry identifier: " + AArg);
    if (EndsWith(AArg, ".jpg")) return Picture(AArg, ARawQuery);
    return StaticFile(AArg);
  }

  THttpResponse Thumb(const std::string& AArg) {
    uint32_t id = 0;
    if (!EndsWith(AArg, ".png") || !ParseU32(AArg.substr(0, AArg.size() - 4), id))
      return Text(404, "no such thumbnail");
    auto it = Thumbs.find(id);
    if (it == Thumbs.end()) {
      std::string png;
      if (!GetThumbnailPng(Lib, id, 240, png)) return LibraryFailure();
      it = Thumbs.emplace(id, std::move(png)).first;
    }
    return Ok("image/png", it->second);
  }

  // The name and town of an entry, through the host's own card template; empty on failure.
  std::string Card(uint32_t AId) {
    if (CardDir.empty()) return {};
    const std::string dir = CardDir + "/";
    JWMemoryStream* s = Lib.GetHTMLText(AId, dir.c_str(), 0, "FORCEPAGE=0", 1, 0);
    return s ? TakeStream(s) : std::string();
  }

  // 404 for an unknown entry, 500 for everything else; the body is the library's message.
  THttpResponse LibraryFailure() {
    const std::string why = Lib.LastError();
    const bool missing = why.find("nicht gefunden") != std::string::npos;
    return Text(missing ? 404 : 500,
                ToUtf8(why.empty() ? std::string("the library gave no result") : why));
  }

  THttpResponse Page(uint32_t AId, const std::string& ARawQuery) {
    // Ask for the entry first so that an unknown one gets its own message and status.
    if (Lib.ButtonCount(AId, 1, 0) < 0) return LibraryFailure();
    uint32_t page = 0;
    ParseU32(QueryValue(ARawQuery, "page", "0"), page);
    const std::string params = DecodeQuery(ARawQuery);
    const std::string dir = Options.Templates + "/";
    JWMemoryStream* s = Lib.GetHTMLText(AId, dir.c_str(), page, params.c_str(), 1, 0);
    if (!s) return LibraryFailure();
    std::string html = TakeStream(s);
    if (html.empty()) return LibraryFailure();
    return Ok("text/html; charset=windows-1252", std::move(html));
  }

  THttpResponse Picture(const std::string& AName, const std::string& ARawQuery) {
    uint32_t id = 0, tmpl = 0;
    if (!ParseU32(QueryValue(ARawQuery, "jwid"), id) ||
        !ParseU32(QueryValue(ARawQuery, "tmpid", "0"), tmpl))
      return Text(400, "a picture needs ?jwid=ID&tmpid=T");
    std::vector<TPicture> pictures;
    if (!GetTemplatePictures(Lib, id, tmpl, pictures)) return LibraryFailure();
    for (TPicture& p : pictures)
      if (p.Name == AName) return Ok("image/jpeg", std::move(p.Bytes));
    return Text(404, "entry " + std::to_string(id) + " has no picture " + AName);
  }

  THttpResponse StaticFile(const std::string& AName) {
    static const std::map<std::string, std::string> kTypes = {
        {"svg", "image/svg+xml"}, {"png", "image/png"},  {"gif", "image/gif"},
        {"css", "text/css"},      {"jpg", "image/jpeg"}, {"ico", "image/x-icon"}};
    const size_t dot = AName.rfind('.');
    std::string ext = dot == std::string::npos ? "" : AName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const auto type = kTypes.find(ext);
    if (type == kTypes.end() || AName.find_first_of(std::string("/\\\0", 3)) != std::string::npos ||
        AName[0] == '.')
      return Text(404, "not found");
    const std::string path = Options.Templates + "/" + AName;
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!fs::is_regular_file(path, ec) || !in) return Text(404, "not found");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return Ok(type->second, bytes.str());
  }
};

}  // namespace

int Serve(const TLibrary& ALib, const TServeOptions& AOptions) {
  THost host(ALib, AOptions);
  THttpServer server([&](const THttpRequest& R) { return host.Handle(R); });
  std::string error;
  if (!server.Listen(AOptions.Bind, AOptions.Port, error)) {
    std::fprintf(stderr, "jwhost: %s\n", error.c_str());
    return 1;
  }
  const std::string host_part =
      AOptions.Bind.find(':') != std::string::npos ? "[" + AOptions.Bind + "]" : AOptions.Bind;
  std::printf("jwhost: serving %s on http://%s:%u/\n", AOptions.DataDir.c_str(), host_part.c_str(),
              unsigned(server.Port()));
  std::fflush(stdout);
  // The library's windows (thumbnails) live on this thread; their posted events and deferred
  // deletions are handled between requests.
  auto last = std::chrono::steady_clock::now();
  server.Run([&] {
    const auto now = std::chrono::steady_clock::now();
    if (now - last >= std::chrono::milliseconds(50)) {
      last = now;
      QCoreApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
  });
  return 0;
}

}  // namespace jwhost
