// The web server of the demo host: it plays the browser component a host program would embed.
//   /?page=N           index of the entries with their thumbnails, kIndexPageSize a page
//   /entry/ID          page of an entry (JW_GetHTMLText); the query string goes back as AParams,
//                      its "page" parameter selects the button position
//   /entry/NAME.jpg    template pictures and logo (JW_GetTemplateImages), ?jwid=ID&tmpid=T
//   /entry/FILE        other static files of the template directory (.svg, .png, .css, .gif)
//   /thumb/ID.png      thumbnail of the entry's viewer window (JW_GetMiniaturBitmap)
#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <set>
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
  return {AStatus, "text/plain; charset=utf-8", AMessage};
}

THttpResponse Ok(const std::string& AType, std::string ABody) {
  return {200, AType, std::move(ABody)};
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

// The identity of a file as the file system sees it, through links: replaced, rewritten or
// renamed-over files all change it. A missing file has an identity too.
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

// A library message as a stranger may see it: quoted file names lose their folders.
std::string WithoutFolders(const std::string& AMessage) {
  std::string out;
  size_t pos = 0;
  for (size_t open; (open = AMessage.find('"', pos)) != std::string::npos;) {
    const size_t close = AMessage.find('"', open + 1);
    if (close == std::string::npos) break;
    const std::string quoted = AMessage.substr(open + 1, close - open - 1);
    const size_t slash = quoted.find_last_of("/\\");
    out += AMessage.substr(pos, open + 1 - pos) +
           (slash == std::string::npos ? quoted : quoted.substr(slash + 1)) + '"';
    pos = close + 1;
  }
  return out + AMessage.substr(std::min(pos, AMessage.size()));
}

// Answers already made, under the identities of the files they were made from and the whole
// request (not its hashed tag, which a crafted request could collide with): such an answer cannot
// change, so a page asked for again is sent without a library call, and every client asking for
// it shares the one copy. Bounded in bytes and count; the least recently used answers go first.
// Safe to use from every serving thread.
class TAnswerCache {
 public:
  TAnswerCache(size_t AMaxBytes, size_t AMaxCount) : MaxBytes(AMaxBytes), MaxCount(AMaxCount) {}

  std::optional<THttpResponse> Find(const std::string& AKey) {
    std::lock_guard<std::mutex> lock(Lock);
    const auto it = Index.find(AKey);
    if (it == Index.end()) return std::nullopt;
    Items.splice(Items.begin(), Items, it->second);
    return it->second->second;
  }
  void Put(const std::string& AKey, const THttpResponse& AResponse) {
    const size_t bytes = AResponse.Size() + AKey.size();
    std::lock_guard<std::mutex> lock(Lock);
    if (bytes > MaxBytes / 8 || Index.count(AKey)) return;
    Items.emplace_front(AKey, AResponse);
    Index.emplace(AKey, Items.begin());
    Bytes += bytes;
    while (Bytes > MaxBytes || Items.size() > MaxCount) {
      const auto& last = Items.back();
      Bytes -= last.second.Size() + last.first.size();
      Index.erase(last.first);
      Items.pop_back();
    }
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(Lock);
    Index.clear();
    Items.clear();
    Bytes = 0;
  }

 private:
  const size_t MaxBytes, MaxCount;
  std::mutex Lock;
  std::list<std::pair<std::string, THttpResponse>> Items;  // most recently used first
  std::unordered_map<std::string, std::list<std::pair<std::string, THttpResponse>>::iterator> Index;
  size_t Bytes = 0;
};

// Work that must run on the thread of the Qt application (the library's windows, which draw the
// thumbnails): serving threads hand it over and wait; the main thread runs it between its other
// chores.
class TMainThreadWork {
 public:
  void Run(const std::function<void()>& AWork) {
    std::unique_lock<std::mutex> lock(Lock);
    const uint64_t ticket = ++Posted;
    Queue.push_back(AWork);
    Wake.notify_all();
    Done.wait(lock, [&] { return Finished >= ticket; });
  }
  // Runs what was handed over, waiting at most AWait for the first piece of work. Tells whether
  // there was any.
  bool Drain(std::chrono::milliseconds AWait) {
    std::unique_lock<std::mutex> lock(Lock);
    Wake.wait_for(lock, AWait, [&] { return !Queue.empty(); });
    const bool any = !Queue.empty();
    while (!Queue.empty()) {
      const std::function<void()> work = std::move(Queue.front());
      Queue.pop_front();
      lock.unlock();
      work();
      lock.lock();
      ++Finished;
      Done.notify_all();
    }
    return any;
  }

 private:
  std::mutex Lock;
  std::condition_variable Wake, Done;
  std::deque<std::function<void()>> Queue;
  uint64_t Posted = 0, Finished = 0;
};

// Entries of the template folder whose identities make the tags, at most; in a larger tree a
// change anywhere (reported by the watch) makes new tags.
constexpr size_t kMaxTemplateEntries = 10000;
// Entries of the template folder looked at to find its subfolders, at most.
constexpr size_t kMaxTemplateWalk = 200000;
// Entries on one page of the index.
constexpr size_t kIndexPageSize = 100;
// What a client is told to wait before asking again while a data file is missing or damaged.
constexpr unsigned kRetryAfterSeconds = 10;

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

  TMainThreadWork MainThread;

  // Called from every serving thread at once.
  THttpResponse Handle(const THttpRequest& ARequest) {
    // Every answer depends on the data files, the templates and the request alone, so their
    // identities make its tag; a client holding that tag gets no body.
    std::string data;
    const std::string files = Identities(data);
    const std::string request = ARequest.Path + "?" + ARequest.RawQuery;
    const std::string tag = "\"" + files + "-" + Hex(Fnv1a(request)) + "\"";
    // Thumbnails depend on the data files alone; a template edit need not draw them again.
    const bool thumb = ARequest.Path.compare(0, 7, "/thumb/") == 0;
    TAnswerCache& cache = thumb ? Thumbs : Answers;
    const std::string key = (thumb ? data : files) + ' ' + request;
    std::optional<THttpResponse> r = cache.Find(key);
    if (!r) {
      r = Route(ARequest);
      if (r->Status != 200) return *r;
      r->ETag = tag;
      cache.Put(key, *r);
    }
    // Only an answer that exists is "not modified".
    if (ETagMatches(ARequest.IfNoneMatch, tag)) return {304, "", "", tag};
    return *r;
  }

 private:
  const TLibrary& Lib;
  TServeOptions Options;
  std::string CardDir;

  std::mutex StateLock;  // guards what follows up to the caches
  TFolderWatch Watch{{Options.Templates}};
  std::string SeenData;     // identity of the data files the caches belong to
  std::string TemplateIds;  // of the template folder, hashed; made again when the watch says so
  uint64_t TemplateWalks = 0;
  std::chrono::steady_clock::time_point LastWalk;
  std::shared_ptr<const std::vector<uint32_t>> Ids;        // of the data files seen, once read
  std::shared_ptr<const std::vector<uint32_t>> SortedIds;  // the same, sorted

  TAnswerCache Answers{size_t{32} << 20, 4096};  // of those files and the templates
  TAnswerCache Thumbs{size_t{16} << 20, 2048};   // drawing a window is slow

  // The identities of the data and template files, hashed; AData gets the data files' alone.
  // The data files are looked at for every request (three calls of stat, through links); the
  // template folder only when the watch says it may have changed, or, where it cannot be
  // watched, at most once a second.
  std::string Identities(std::string& AData) {
    std::string data = DataIdentity();
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(StateLock);
    if (data != SeenData) {
      SeenData = data;
      Ids.reset();
      SortedIds.reset();
      Answers.Clear();
      Thumbs.Clear();
    }
    if (Watch.Changed() &&
        (Watch.Watching() || TemplateWalks == 0 || now - LastWalk >= std::chrono::seconds(1))) {
      TemplateIds = Hex(Fnv1a(TemplateIdentity()));
      ++TemplateWalks;
      LastWalk = now;
    }
    AData = Hex(Fnv1a(data));
    return Hex(Fnv1a(data + TemplateIds));
  }

  std::string DataIdentity() const {
    std::string id;
    for (const char* name : {jw::EntryDatFileName, jw::LogoDatFileName, jw::TemplateDatFileName})
      AppendIdentity(id, Options.DataDir + "/" + name);
    return id;
  }

  // The template folder with its subfolders (includes may name files in them), linked ones
  // included: every name and identity. The folders found, and the folders that linked files lead
  // to, are watched. Beyond kMaxTemplateEntries entries only the folders are looked for, and the
  // count of walks stands for the files not looked at, so that a change among them still makes
  // new tags.
  std::string TemplateIdentity() {
    std::string id;
    AppendIdentity(id, Options.Templates);
    std::vector<std::string> folders, names;
    std::set<std::pair<dev_t, ino_t>> seen;  // folders reached twice through links are skipped
    std::vector<fs::path> pending{Options.Templates};
    size_t entries = 0;
    while (!pending.empty() && entries < kMaxTemplateWalk) {
      const fs::path folder = std::move(pending.back());
      pending.pop_back();
      struct stat st {};
      if (::stat(folder.c_str(), &st) != 0 || !seen.insert({st.st_dev, st.st_ino}).second) continue;
      if (folder != Options.Templates) folders.push_back(folder.string());
      std::error_code ec;
      for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec),
           end;
           !ec && it != end && entries < kMaxTemplateWalk; it.increment(ec), ++entries) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code e2;
        const bool link = it->is_symlink(e2);
        if (it->is_directory(e2)) {
          pending.push_back(it->path());
        } else if (link) {
          // A link's target may be renamed over where it lives: watch that folder too.
          const fs::path target = fs::canonical(it->path(), e2);
          if (!e2) folders.push_back(target.parent_path().string());
        }
        if (entries < kMaxTemplateEntries)
          names.push_back(it->path().lexically_relative(Options.Templates).string());
      }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      id += name + '=';
      AppendIdentity(id, Options.Templates + "/" + name);
    }
    if (entries >= kMaxTemplateEntries) id += "walk " + std::to_string(TemplateWalks);
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    Watch.SetFolders(std::move(folders));
    return id;
  }

  THttpResponse Route(const THttpRequest& ARequest) {
    const std::string& path = ARequest.Path;
    if (path == "/") return Index(ARequest.RawQuery);
    for (const char* prefix : {"/entry/", "/thumb/"}) {
      const size_t n = std::strlen(prefix);
      if (path.compare(0, n, prefix) != 0) continue;
      const std::string arg = path.substr(n);
      if (arg.empty() || arg.find('/') != std::string::npos) break;
      return prefix[1] == 'e' ? Entry(arg, ARequest.RawQuery) : Thumb(arg);
    }
    return Text(404, "not found");
  }

  std::shared_ptr<const std::vector<uint32_t>> EntryIds(std::string& AError) {
    {
      std::lock_guard<std::mutex> lock(StateLock);
      if (Ids) return Ids;
    }
    auto ids = std::make_shared<std::vector<uint32_t>>();
    if (!ReadEntryIds(Options.DataDir, *ids, AError)) return nullptr;
    auto sorted = std::make_shared<std::vector<uint32_t>>(*ids);
    std::sort(sorted->begin(), sorted->end());
    std::lock_guard<std::mutex> lock(StateLock);
    Ids = ids;
    SortedIds = std::move(sorted);
    return ids;
  }

  // Whether the entry file, as last read, lists AId.
  bool Listed(uint32_t AId) {
    std::string error;
    if (!EntryIds(error)) return false;
    std::lock_guard<std::mutex> lock(StateLock);
    return SortedIds && std::binary_search(SortedIds->begin(), SortedIds->end(), AId);
  }

  THttpResponse Index(const std::string& ARawQuery) {
    uint32_t page = 1;
    const std::string asked = QueryValue(ARawQuery, "page", "1");
    if (!ParseU32(asked, page) || page == 0) return Text(400, "not a page number: " + asked);
    std::string error;
    const auto ids = EntryIds(error);
    if (!ids) return Unavailable("cannot read \"" + std::string(jw::EntryDatFileName) + "\"");
    const size_t pages = std::max<size_t>(1, (ids->size() + kIndexPageSize - 1) / kIndexPageSize);
    if (page > pages) return Text(404, "no such page");
    std::string failure;
    std::string html = IndexPage(*ids, page, pages, failure);
    if (!failure.empty()) return LibraryFailure(failure);
    return Ok("text/html; charset=utf-8", std::move(html));
  }

  // The index page; a file the library misses while making it ends it (AFailure gets why).
  std::string IndexPage(const std::vector<uint32_t>& AIds, size_t APage, size_t APages,
                        std::string& AFailure) {
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
        "nav.seiten{margin:20px 0 0}nav.seiten a{margin-right:16px}"
        "</style></head><body>\n<h1>Branchenbuch Rhein-Ruhr</h1>\n"
        "<p class=\"unter\">" +
        std::to_string(AIds.size()) +
        " Eintr\xC3\xA4ge \xC2\xB7 Beispieldaten, alle Firmen sind frei erfunden</p>\n"
        "<div class=\"raster\">\n";
    const size_t first = (APage - 1) * kIndexPageSize;
    for (size_t i = first; i < std::min(AIds.size(), first + kIndexPageSize); ++i) {
      const uint32_t id = AIds[i];
      std::string name = "Eintrag " + std::to_string(id), place;
      const std::string card = Card(id);
      if (card.empty()) {
        const std::string why = Lib.LastError();
        if (why.compare(0, 7, "Datei \"") == 0) {
          AFailure = why;
          return {};
        }
      }
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
    html += "</div>\n";
    if (APages > 1) {
      html += "<nav class=\"seiten\">";
      if (APage > 1)
        html += "<a rel=\"prev\" href=\"/?page=" + std::to_string(APage - 1) +
                "\">\xC2\xAB zur\xC3\xBC"
                "ck</a>";
      html += "Seite " + std::to_string(APage) + " von " + std::to_string(APages);
      if (APage < APages)
        html += " <a rel=\"next\" href=\"/?page=" + std::to_string(APage + 1) +
                "\">weiter \xC2\xBB</a>";
      html += "</nav>\n";
    }
    html += "</body></html>\n";
    return html;
  }

  // The library reports entry identifiers as signed numbers; the one it cannot tell from -1 is
  // refused with the malformed ones.
  static bool ParseEntryId(const std::string& AText, uint32_t& AId) {
    return ParseU32(AText, AId) && AId != 0xFFFFFFFFu;
  }

  THttpResponse Entry(const std::string& AArg, const std::string& ARawQuery) {
    uint32_t id = 0;
    if (ParseEntryId(AArg, id)) return Page(id, ARawQuery);
    if (AArg[0] >= '0' && AArg[0] <= '9') return Text(400, "not an entry identifier: " + AArg);
    if (EndsWith(AArg, ".jpg")) return Picture(AArg, ARawQuery);
    return StaticFile(AArg);
  }

  THttpResponse Thumb(const std::string& AArg) {
    uint32_t id = 0;
    if (!EndsWith(AArg, ".png")) return Text(404, "no such thumbnail");
    if (!ParseEntryId(AArg.substr(0, AArg.size() - 4), id))
      return Text(400, "not an entry identifier: " + AArg);
    // The library's windows belong to the main thread; so does its last error there.
    std::string png, why;
    bool ok = false;
    MainThread.Run([&] {
      ok = GetThumbnailPng(Lib, id, 240, png);
      if (!ok) why = Lib.LastError();
    });
    if (!ok) return LibraryFailure(why);
    return Ok("image/png", std::move(png));
  }

  // The name and town of an entry, through the host's own card template; empty on failure.
  std::string Card(uint32_t AId) {
    if (CardDir.empty()) return {};
    const std::string dir = CardDir + "/";
    JWMemoryStream* s = Lib.GetHTMLText(AId, dir.c_str(), 0, "FORCEPAGE=0", 1, 0);
    return s ? TakeStream(s) : std::string();
  }

  static THttpResponse Unavailable(const std::string& AWhy) {
    THttpResponse r = Text(503, AWhy);
    r.RetryAfter = kRetryAfterSeconds;
    return r;
  }

  // The library's message with the status it deserves: 404 for an unknown entry, 503 while a
  // file it needs is missing or damaged (another process, or this one a little later, may do
  // better), 500 for anything else.
  static THttpResponse LibraryFailure(const std::string& AWhy) {
    const std::string why =
        ToUtf8(WithoutFolders(AWhy.empty() ? std::string("the library gave no result") : AWhy));
    if (AWhy.find("JW Eintrag nicht gefunden") != std::string::npos) return Text(404, why);
    if (AWhy.compare(0, 7, "Datei \"") == 0) return Unavailable(why);
    return Text(500, why);
  }
  THttpResponse LibraryFailure() const { return LibraryFailure(Lib.LastError()); }

  THttpResponse Page(uint32_t AId, const std::string& ARawQuery) {
    // An entry the entry file does not list is asked for first, so that it gets its own message
    // and status (the page call would log its failure); a listed one goes straight to its page.
    if (!Listed(AId) && Lib.ButtonCount(AId, 1, 0) < 0) return LibraryFailure();
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
    if (!ParseEntryId(QueryValue(ARawQuery, "jwid"), id) ||
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
    // A link leading out of the template folder is no file of it.
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    const fs::path root = fs::canonical(Options.Templates, ec);
    if (ec || real.parent_path() != root || !fs::is_regular_file(real, ec))
      return Text(404, "not found");
    std::ifstream in(real, std::ios::binary);
    if (!in) return Text(404, "not found");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return Ok(type->second, bytes.str());
  }
};

}  // namespace

int Serve(const TLibrary& ALib, const TServeOptions& AOptions) {
  THost host(ALib, AOptions);
  THttpLimits limits;
  limits.MaxPerAddress = AOptions.MaxPerAddress;
  THttpServer server([&](const THttpRequest& R) { return host.Handle(R); }, limits);
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
  // The requests are served on threads of their own; this thread draws the thumbnails (the
  // library's windows live on it), handles their posted events and deferred deletions, and ends
  // connections past their deadline.
  for (auto trimmed = std::chrono::steady_clock::now();;) {
    // Drawing a window takes and frees a few megabytes at a time; what the allocator keeps of
    // them goes back to the system now and then, so that the thumbnails' bound is the host's.
    if (host.MainThread.Drain(std::chrono::milliseconds(50)) &&
        std::chrono::steady_clock::now() - trimmed >= std::chrono::seconds(1)) {
      ::malloc_trim(0);
      trimmed = std::chrono::steady_clock::now();
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    server.Sweep();
  }
  return 0;
}

}  // namespace jwhost
