// The web server of the demo host: it plays the browser component a host program would embed.
//   /                  index of all entries with their thumbnails
//   /entry/ID          page of an entry (JW_GetHTMLText); the query string goes back as AParams,
//                      its "page" parameter selects the button position
//   /entry/NAME.jpg    template pictures and logo (JW_GetTemplateImages), ?jwid=ID&tmpid=T
//   /entry/FILE        other static files of the template directory (.svg, .png, .css, .gif)
//   /thumb/ID.png      thumbnail of the entry's viewer window (JW_GetMiniaturBitmap)
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <map>

#include "jwhost.h"

namespace jwhost {

namespace {

using Status = QHttpServerResponse::StatusCode;

// The host's own one-line template: it asks the library for the name and town of an entry.
const char* const kCardTemplate = "<#FIELD NAME=FIRM>\t<#FIELD NAME=ZIP> <#FIELD NAME=CITY>\n";

QHttpServerResponse Text(Status AStatus, const std::string& AMessage) {
  return QHttpServerResponse("text/plain; charset=utf-8", QByteArray::fromStdString(AMessage),
                             AStatus);
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

bool ParseU32(const QString& AText, uint32_t& AValue) {
  if (AText.isEmpty() || AText.size() > 10) return false;
  for (QChar c : AText)
    if (!c.isDigit() || c.unicode() > '9') return false;
  const qulonglong v = AText.toULongLong();
  if (v > 0xFFFFFFFFull) return false;
  AValue = uint32_t(v);
  return true;
}

std::string RawQuery(const QHttpServerRequest& ARequest) {
  return ARequest.url().query(QUrl::FullyEncoded).toStdString();
}

class THost {
 public:
  THost(const TLibrary& ALib, const TServeOptions& AOptions) : Lib(ALib), Options(AOptions) {
    if (CardDir.isValid()) {
      QFile f(CardDir.filePath("main1.html"));
      if (f.open(QIODevice::WriteOnly)) f.write(kCardTemplate);
    }
  }

  QHttpServerResponse Index() {
    std::vector<uint32_t> ids;
    std::string error;
    if (!ReadEntryIds(Options.DataDir, ids, error)) return Text(Status::InternalServerError, error);
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
        std::to_string(ids.size()) +
        " Eintr\xC3\xA4ge \xC2\xB7 Beispieldaten, alle Firmen sind frei erfunden</p>\n"
        "<div class=\"raster\">\n";
    for (uint32_t id : ids) {
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
    return QHttpServerResponse("text/html; charset=utf-8", QByteArray::fromStdString(html));
  }

  QHttpServerResponse Entry(const QString& AArg, const QHttpServerRequest& ARequest) {
    uint32_t id = 0;
    if (ParseU32(AArg, id)) return Page(id, RawQuery(ARequest));
    if (!AArg.isEmpty() && AArg.at(0).isDigit())
      return Text(Status::BadRequest, "not an entry identifier: " + AArg.toStdString());
    if (AArg.endsWith(".jpg")) return Picture(AArg.toStdString(), RawQuery(ARequest));
    return StaticFile(AArg);
  }

  QHttpServerResponse Thumb(const QString& AArg) {
    uint32_t id = 0;
    if (!AArg.endsWith(".png") || !ParseU32(AArg.chopped(4), id))
      return Text(Status::NotFound, "no such thumbnail");
    auto it = Thumbs.find(id);
    if (it == Thumbs.end()) {
      std::string png;
      if (!GetThumbnailPng(Lib, id, 240, png)) return LibraryFailure();
      it = Thumbs.emplace(id, std::move(png)).first;
    }
    return QHttpServerResponse("image/png", QByteArray::fromStdString(it->second));
  }

 private:
  const TLibrary& Lib;
  TServeOptions Options;
  QTemporaryDir CardDir;
  std::map<uint32_t, std::string> Thumbs;  // rendering a window is slow; entries do not change

  // The name and town of an entry, through the host's own card template; empty on failure.
  std::string Card(uint32_t AId) {
    const std::string dir = CardDir.path().toStdString() + "/";
    JWMemoryStream* s = Lib.GetHTMLText(AId, dir.c_str(), 0, "FORCEPAGE=0", 1, 0);
    return s ? TakeStream(s) : std::string();
  }

  // 404 for an unknown entry, 500 for everything else; the body is the library's message.
  QHttpServerResponse LibraryFailure() {
    const std::string why = Lib.LastError();
    const bool missing = why.find("nicht gefunden") != std::string::npos;
    return Text(missing ? Status::NotFound : Status::InternalServerError,
                ToUtf8(why.empty() ? std::string("the library gave no result") : why));
  }

  QHttpServerResponse Page(uint32_t AId, const std::string& ARawQuery) {
    // Ask for the entry first so that an unknown one gets its own message and status.
    if (Lib.ButtonCount(AId, 1, 0) < 0) return LibraryFailure();
    uint32_t page = 0;
    ParseU32(QString::fromStdString(QueryValue(ARawQuery, "page", "0")), page);
    const std::string params = DecodeQuery(ARawQuery);
    const std::string dir = Options.Templates + "/";
    JWMemoryStream* s = Lib.GetHTMLText(AId, dir.c_str(), page, params.c_str(), 1, 0);
    if (!s) return LibraryFailure();
    std::string html = TakeStream(s);
    if (html.empty()) return LibraryFailure();
    return QHttpServerResponse("text/html; charset=windows-1252", QByteArray::fromStdString(html));
  }

  QHttpServerResponse Picture(const std::string& AName, const std::string& ARawQuery) {
    uint32_t id = 0, tmpl = 0;
    if (!ParseU32(QString::fromStdString(QueryValue(ARawQuery, "jwid")), id) ||
        !ParseU32(QString::fromStdString(QueryValue(ARawQuery, "tmpid", "0")), tmpl))
      return Text(Status::BadRequest, "a picture needs ?jwid=ID&tmpid=T");
    std::vector<TPicture> pictures;
    if (!GetTemplatePictures(Lib, id, tmpl, pictures)) return LibraryFailure();
    for (const TPicture& p : pictures)
      if (p.Name == AName)
        return QHttpServerResponse("image/jpeg", QByteArray::fromStdString(p.Bytes));
    return Text(Status::NotFound, "entry " + std::to_string(id) + " has no picture " + AName);
  }

  QHttpServerResponse StaticFile(const QString& AName) {
    static const std::map<QString, QByteArray> kTypes = {
        {"svg", "image/svg+xml"}, {"png", "image/png"},  {"gif", "image/gif"},
        {"css", "text/css"},      {"jpg", "image/jpeg"}, {"ico", "image/x-icon"}};
    const QString ext = QFileInfo(AName).suffix().toLower();
    const auto type = kTypes.find(ext);
    if (type == kTypes.end() || AName.contains('/') || AName.contains('\\') ||
        AName.startsWith('.'))
      return Text(Status::NotFound, "not found");
    QFile f(QString::fromStdString(Options.Templates) + "/" + AName);
    if (!QFileInfo(f).isFile() || !f.open(QIODevice::ReadOnly))
      return Text(Status::NotFound, "not found");
    return QHttpServerResponse(type->second, f.readAll());
  }
};

}  // namespace

int Serve(const TLibrary& ALib, const TServeOptions& AOptions) {
  THost host(ALib, AOptions);
  QHttpServer server;
  auto onlyGet = [](const QHttpServerRequest& R) {
    return R.method() == QHttpServerRequest::Method::Get ||
           R.method() == QHttpServerRequest::Method::Head;
  };
  server.route("/", [&](const QHttpServerRequest& R) {
    return onlyGet(R) ? host.Index() : Text(Status::MethodNotAllowed, "only GET");
  });
  server.route("/entry/<arg>", [&](const QString& AArg, const QHttpServerRequest& R) {
    return onlyGet(R) ? host.Entry(AArg, R) : Text(Status::MethodNotAllowed, "only GET");
  });
  server.route("/thumb/<arg>", [&](const QString& AArg, const QHttpServerRequest& R) {
    return onlyGet(R) ? host.Thumb(AArg) : Text(Status::MethodNotAllowed, "only GET");
  });

  QHostAddress address;
  if (!address.setAddress(QString::fromStdString(AOptions.Bind))) {
    std::fprintf(stderr, "jwhost: not an address: %s\n", AOptions.Bind.c_str());
    return 1;
  }
  const quint16 port = server.listen(address, AOptions.Port);
  if (!port) {
    std::fprintf(stderr, "jwhost: cannot listen on %s:%u\n", AOptions.Bind.c_str(),
                 unsigned(AOptions.Port));
    return 1;
  }
  const std::string host_part = address.protocol() == QAbstractSocket::IPv6Protocol
                                    ? "[" + AOptions.Bind + "]"
                                    : AOptions.Bind;
  std::printf("jwhost: serving %s on http://%s:%u/\n", AOptions.DataDir.c_str(), host_part.c_str(),
              unsigned(port));
  std::fflush(stdout);
  return QCoreApplication::exec();
}

}  // namespace jwhost
