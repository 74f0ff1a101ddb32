#include "html/ZDEnhPageProducer.h"

#include <algorithm>
#include <string_view>
#include <typeinfo>

#include "html/JWHTMLText.h"
#include "store/JWDatFileIO.h"
#include "store/JWError.h"
#include "store/JWFolderView.h"
#include "store/JWRecordCache.h"
#include "store/JWTextFiles.h"
#include "store/ZDStrUtils.h"

namespace jw {

namespace {

// Anything up to the space counts as a blank for the scanner (tabs, CR, LF, control bytes).
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Tag names are compared on ASCII letters only.
bool SameTagName(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    char a = A[i], b = B[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
    if (a != b) return false;
  }
  return true;
}

// A decimal integer in the 32-bit range, optionally signed; anything else is a conversion error.
int32_t StrToIntDec(const std::string& AText) {
  int32_t v = 0;
  if (!htmltext::TryStrToInt(AText, v))
    throw EJWError("'" + AText + "' is not a valid integer value");
  return v;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "+" is a space, "%%" a percent sign and "%XX" the byte XX.
std::string UrlDecode(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '+') {
      out += ' ';
    } else if (c != '%') {
      out += c;
    } else if (i + 1 < s.size() && s[i + 1] == '%') {
      out += '%';
      ++i;
    } else {
      const int hi = i + 1 < s.size() ? HexValue(s[i + 1]) : -1;
      const int lo = i + 2 < s.size() ? HexValue(s[i + 2]) : -1;
      if (hi < 0 || lo < 0)
        throw EJWError("'" + std::string(s.substr(i, 3)) + "' is not a valid escape sequence");
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    }
  }
  return out;
}

// Throws when a line (bytes before its line feed) is too long for the scanner.
void CheckLineLengths(std::string_view AText) {
  long long line = 1;
  size_t start = 0;
  while (start <= AText.size()) {
    size_t lf = AText.find('\n', start);
    const size_t end = lf == std::string_view::npos ? AText.size() : lf;
    if (end - start >= TZDEnhPageProducer::kMaxLineLength)
      throw EJWError(std::string("Zeile zu lang") + " in Zeile " + std::to_string(line));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
    ++line;
  }
}

const char* const kCannotOpenTail =
    "\" nicht \xF6"
    "ffnen!";

// Include names come from templates: they may name only files inside the include folder. A NUL
// byte would cut the name short of its extension; a drive, a leading separator or more ".." than
// folders leave the folder. A component of dots and blanks alone counts as ".." (Windows drops
// trailing dots and blanks).
bool IsIncludeName(std::string_view AName) {
  if (AName.find('\0') != std::string_view::npos || AName.find(':') != std::string_view::npos)
    return false;
  if (!AName.empty() && (AName[0] == '/' || AName[0] == '\\')) return false;
  int depth = 0;
  size_t start = 0;
  while (start <= AName.size()) {
    size_t stop = AName.find_first_of("/\\", start);
    if (stop == std::string_view::npos) stop = AName.size();
    const std::string_view part = AName.substr(start, stop - start);
    const bool dotsOnly = part.find_first_not_of(". ") == std::string_view::npos;
    if (dotsOnly && part.find("..") != std::string_view::npos) {
      if (--depth < 0) return false;
    } else if (!dotsOnly) {
      ++depth;
    }
    start = stop + 1;
  }
  return true;
}

// A refused name as page text: control bytes (a NUL above all) do not go into the page.
std::string Printable(std::string_view AText) {
  std::string out(AText);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 32) c = '?';
  return out;
}

// The folder part of a file name (with its separator) and the name inside it.
std::pair<std::string, std::string> SplitFolder(const std::string& APath) {
  size_t end = APath.size();
  while (end > 0 && !IsDirectoryEnd(APath[end - 1])) --end;
  return {APath.substr(0, end), APath.substr(end)};
}

// The template ARelative of AFolder as ReadTextFile finds it, parsed once per version of the
// file: the record cache keeps the parsed form under the file's identity. ALines: the file is
// taken as lines (page templates and includes), else scanned as it is.
TZDTemplateFile CompiledFile(TJWFolderView& AFolder, TJWFolderView::TFile& file,
                             const std::string& ARelative, bool AStrip, bool ALines) {
  TZDTemplateFile result;
  if (file.Kind == platform::TFileKind::Outside) {
    result.State = TZDTemplateFile::tfOutside;
    return result;
  }
  if (file.Kind != platform::TFileKind::Regular) return result;
  if (auto made = std::static_pointer_cast<const TZDCompiledTemplate>(file.Made);
      made && made->StripParamQuotes == AStrip && made->Lines == ALines) {
    result.State = TZDTemplateFile::tfRead;
    result.Template = std::move(made);
    return result;
  }
  TJWRecordCache& cache = TJWRecordCache::Instance();
  const std::string kind = std::string("C") + (AStrip ? '1' : '0') + (ALines ? 'L' : 'R') + '|';
  const std::string key = kind + TJWRecordCache::FileKey(file.Identity);
  auto compiled = cache.Find<TZDCompiledTemplate>(key);
  if (!compiled) {
    const TJWTextFile text =
        ReadTextFile(AFolder, ARelative, TZDEnhPageProducer::kMaxTemplateFileSize);
    switch (text.State) {
      case TJWTextFile::tsRead:
        break;
      case TJWTextFile::tsMissing:
        return result;
      case TJWTextFile::tsTooLarge:
        result.State = TZDTemplateFile::tfTooLarge;
        return result;
      default:
        result.State = TZDTemplateFile::tfUnreadable;
        return result;
    }
    compiled = TZDCompiledTemplate::Compile(*text.Text, AStrip, ALines);
    // Filed under the version that was read, which is the one checked unless it changed since.
    if (text.Identity != platform::TFileIdentity{})
      cache.Put<TZDCompiledTemplate>(kind + TJWRecordCache::FileKey(text.Identity), compiled,
                                     compiled->Bytes());
  }
  file.Made = compiled;
  result.State = TZDTemplateFile::tfRead;
  result.Template = std::move(compiled);
  return result;
}

TZDTemplateFile CompiledFile(TJWFolderView& AFolder, const std::string& ARelative, bool AStrip,
                             bool ALines = true) {
  return CompiledFile(AFolder, AFolder.Check(ARelative), ARelative, AStrip, ALines);
}

}  // namespace

class TZDEnhPageProducer::TActiveGuard {
 public:
  explicit TActiveGuard(TProduction& AProduction) : FProduction(AProduction) {
    if (FProduction.Active++ == 0) FProduction.Includes = 0, FProduction.Scanned = 0;
  }
  ~TActiveGuard() {
    // The next page resolves the include folder afresh.
    if (--FProduction.Active == 0 && FProduction.Folder)
      FProduction.Last = std::move(FProduction.Folder);
  }
  TActiveGuard(const TActiveGuard&) = delete;
  TActiveGuard& operator=(const TActiveGuard&) = delete;

 private:
  TProduction& FProduction;
};

TZDEnhPageProducer::TZDEnhPageProducer() : FProduction(std::make_shared<TProduction>()) {
  FProduction->Owner = this;
}

TZDEnhPageProducer::~TZDEnhPageProducer() {
  // The include producers share the bookkeeping they sit in: released here, or never.
  if (FProduction->Owner == this) FProduction->Producers.clear();
}

void TZDEnhPageProducer::SetHTMLDoc(std::vector<std::string> ALines) {
  FHTMLDoc = std::move(ALines);
  FHTMLFile.clear();
  FTemplate.reset();
}

void TZDEnhPageProducer::SetTemplate(std::shared_ptr<const TZDCompiledTemplate> ATemplate) {
  FHTMLDoc.clear();
  FHTMLFile.clear();
  FTemplate = std::move(ATemplate);
}

TJWFolderView& TZDEnhPageProducer::IncludeFolder() {
  if (!FProduction->Folder || FProduction->Folder->Path() != FIncludePath)
    FProduction->Folder = std::make_shared<TJWFolderView>(FIncludePath, true);
  return *FProduction->Folder;
}

void TZDEnhPageProducer::ForgetFiles() {
  if (FProduction->Folder) FProduction->Last = std::move(FProduction->Folder);
}

TZDTemplateFile TZDEnhPageProducer::TemplateFile(const std::string& ARelative) {
  return CompiledFile(IncludeFolder(), ARelative, FStripParamQuotes);
}

void TZDEnhPageProducer::SetHTMLFile(const std::string& AFileName) {
  if (!htmltext::AnsiSameText(AFileName, FHTMLFile)) FHTMLDoc.clear();
  FHTMLFile = AFileName;
  FTemplate.reset();
}

void TZDEnhPageProducer::SetIncludePath(const std::string& AValue) {
  FIncludePath = WithDirectoryEnd(AValue);
}

void TZDEnhPageProducer::AssignSettings(const TZDEnhPageProducer& ASource) {
  if (&ASource == this) return;
  FDefaultFont = ASource.FDefaultFont;
  FDefaultEllipsis = ASource.FDefaultEllipsis;
  OnGetField = ASource.OnGetField;
  OnBeforeCmd = ASource.OnBeforeCmd;
  OnAfterCmd = ASource.OnAfterCmd;
  FErrStrPrefix = ASource.FErrStrPrefix;
  FErrStrSuffix = ASource.FErrStrSuffix;
  FIncludePath = ASource.FIncludePath;
  FIncludeExt = ASource.FIncludeExt;
  OnCustomEvent = ASource.OnCustomEvent;
}

void TZDEnhPageProducer::Assign(const TZDEnhPageProducer& ASource) {
  if (typeid(ASource) != typeid(TZDEnhPageProducer)) throw EJWError("Klasse nicht kompatiebel!");
  AssignSettings(ASource);
}

std::unique_ptr<TZDEnhPageProducer> TZDEnhPageProducer::CreateIncludeProducer() {
  return std::make_unique<TZDEnhPageProducer>();
}

TZDEnhPageProducer& TZDEnhPageProducer::IncludeProducer() {
  std::vector<std::unique_ptr<TZDEnhPageProducer>>& producers = FProduction->Producers;
  const size_t depth = size_t(FProduction->Depth);
  if (producers.size() <= depth) producers.resize(depth + 1);
  if (!producers[depth]) {
    producers[depth] = CreateIncludeProducer();
    producers[depth]->FProduction = FProduction;
  }
  // Everything a fresh include producer would start with, or take from this one.
  TZDEnhPageProducer& include = *producers[depth];
  include.AssignSettings(*this);
  include.OnHTMLTag = nullptr;
  include.FStripParamQuotes = true;
  include.FDataMark = false;
  return include;
}

std::string TZDEnhPageProducer::ErrorText(const std::string& AMessage) const {
  return FErrStrPrefix + AMessage + FErrStrSuffix;
}

std::string TZDEnhPageProducer::Content() {
  if (FTemplate) {
    // Held for the production: handlers may set another template meanwhile.
    const std::shared_ptr<const TZDCompiledTemplate> compiled = FTemplate;
    return Produce(*compiled);
  }
  if (!FHTMLFile.empty()) {
    const auto [folderPath, name] = SplitFolder(FHTMLFile);
    TJWFolderView folder(folderPath, false);
    const TZDTemplateFile file = CompiledFile(folder, name, FStripParamQuotes, false);
    switch (file.State) {
      case TZDTemplateFile::tfRead:
        return Produce(*file.Template);
      case TZDTemplateFile::tfMissing:
        throw EJWError("Datei \"" + FHTMLFile + "\" nicht gefunden!");
      case TZDTemplateFile::tfTooLarge:
        throw EJWError("Template file too large: " + FHTMLFile);
      default:
        throw EJWError("Konnte Datei \"" + FHTMLFile + kCannotOpenTail);
    }
  }
  size_t size = 0;
  for (const std::string& line : FHTMLDoc) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : FHTMLDoc) {
    text += line;
    text += "\r\n";
  }
  return Produce(*TZDCompiledTemplate::Compile(text, FStripParamQuotes, false));
}

std::string TZDEnhPageProducer::ContentOf(std::string_view ATemplate) {
  return Produce(*TZDCompiledTemplate::Compile(ATemplate, FStripParamQuotes, false));
}

std::shared_ptr<const TZDCompiledTemplate> TZDCompiledTemplate::Compile(std::string_view ATemplate,
                                                                        bool AStripQuotes,
                                                                        bool AFromFile) {
  auto compiled = std::make_shared<TZDCompiledTemplate>();
  compiled->StripParamQuotes = AStripQuotes;
  compiled->Lines = AFromFile;
  std::string& text = compiled->Text;
  if (AFromFile) {
    // A file comes in as lines (CR, LF or CR LF end one), each given back with CR LF.
    const std::string bytes(ATemplate);
    for (const std::string& line : htmltext::SplitLines(bytes)) {
      text += line;
      text += "\r\n";
    }
  } else {
    text.assign(ATemplate);
  }
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  text.shrink_to_fit();
  try {
    CheckLineLengths(text);
  } catch (const std::exception& e) {
    compiled->LineError = e.what();
    return compiled;
  }

  auto literal = [&](size_t ABegin, size_t AEnd) {
    if (AEnd <= ABegin) return;
    if (!compiled->Pieces.empty() && compiled->Pieces.back().Tag < 0 &&
        compiled->Pieces.back().Begin + compiled->Pieces.back().Length == ABegin) {
      compiled->Pieces.back().Length += AEnd - ABegin;
    } else {
      compiled->Pieces.push_back({ABegin, AEnd - ABegin, -1});
    }
  };
  const std::string_view t(text);
  const size_t n = t.size();
  size_t pos = 0;
  while (pos < n) {
    const size_t lt = t.find('<', pos);
    if (lt == std::string_view::npos) {
      literal(pos, n);
      break;
    }
    size_t p = lt + 1;
    while (p < n && IsBlank(t[p])) ++p;
    if (p >= n || t[p] != '#') {
      // Not a tag: the "<" stays, the blanks after it go, and scanning resumes at the next token.
      literal(pos, lt + 1);
      pos = p;
      continue;
    }
    literal(pos, lt);
    ++p;
    while (p < n && IsBlank(t[p])) ++p;
    const size_t nameStart = p;
    if (p < n && IsLetter(t[p])) {
      while (p < n && (IsLetter(t[p]) || IsDigit(t[p]))) ++p;
    } else if (p < n) {
      ++p;
    }
    TTagItem tag;
    tag.Name = std::string(t.substr(nameStart, p - nameStart));
    const size_t gt = t.find('>', p);
    const size_t paramEnd = gt == std::string_view::npos ? n : gt;
    try {
      tag.Params =
          TZDEnhPageProducer::ExtractTagParams(TrimView(t.substr(p, paramEnd - p)), AStripQuotes);
    } catch (const std::exception& e) {
      // Production stops at this tag; nothing after it is ever reached.
      tag.Error = e.what();
      compiled->Pieces.push_back({0, 0, int32_t(compiled->Tags.size())});
      compiled->Tags.push_back(std::move(tag));
      break;
    }
    compiled->Pieces.push_back({0, 0, int32_t(compiled->Tags.size())});
    compiled->Tags.push_back(std::move(tag));
    pos = gt == std::string_view::npos ? n : gt + 1;
  }
  compiled->Pieces.shrink_to_fit();
  compiled->Tags.shrink_to_fit();
  return compiled;
}

size_t TZDCompiledTemplate::Bytes() const {
  size_t bytes = sizeof *this + Text.capacity() + Pieces.capacity() * sizeof(TPiece) +
                 Tags.capacity() * sizeof(TTagItem) + LineError.capacity();
  for (const TTagItem& tag : Tags)
    bytes += tag.Name.capacity() + tag.Error.capacity() + tag.Params.Bytes();
  return bytes;
}

std::string TZDEnhPageProducer::Produce(const TZDCompiledTemplate& ATemplate) {
  TActiveGuard active(*FProduction);
  // Includes are refused before they are read; only a template handed in directly gets here.
  if (ATemplate.Text.size() > kMaxScannedBytes - std::min(FProduction->Scanned, kMaxScannedBytes))
    throw EJWError("Template text too large");
  FProduction->Scanned += ATemplate.Text.size();
  if (!ATemplate.LineError.empty()) throw EJWError(ATemplate.LineError);

  // The page's budget counts the bytes held by the outputs under construction at all levels;
  // a finished output leaves the count when it goes to the caller, which counts it again if it
  // keeps it.
  struct TOutputRelease {
    TProduction& P;
    size_t Counted = 0;
    ~TOutputRelease() { P.Bytes -= Counted; }
  } release{*FProduction};
  std::string out;
  out.reserve(ATemplate.Text.size());
  auto emit = [&](std::string_view piece) {
    if (piece.size() > kMaxPageSize - FProduction->Bytes) throw EJWError("Page too large");
    FProduction->Bytes += piece.size();
    release.Counted += piece.size();
    out.append(piece);
  };
  const std::string_view text(ATemplate.Text);
  for (const TZDCompiledTemplate::TPiece& piece : ATemplate.Pieces) {
    if (piece.Tag < 0) {
      emit(text.substr(piece.Begin, piece.Length));
      continue;
    }
    const TZDCompiledTemplate::TTagItem& tag = ATemplate.Tags[size_t(piece.Tag)];
    if (!tag.Error.empty()) throw EJWError(tag.Error);
    emit(ProcessTag(tag.Name, tag.Params));
  }
  return out;
}

TZDParamList TZDEnhPageProducer::ExtractTagParams(std::string_view AText, bool AStripQuotes) {
  TZDParamList list;
  const size_t n = AText.size();
  auto isSep = [](char c) { return c == ' ' || c == '\r' || c == '\n'; };
  size_t i = 0;
  while (i < n) {
    while (i < n && isSep(AText[i])) ++i;
    if (i >= n) break;
    size_t head = i, tail = i;
    size_t next;
    if (AText[i] == '"') {
      // A leading quote is not part of the entry; the closing one ends it.
      head = tail = i + 1;
      while (tail < n && AText[tail] != '"') ++tail;
      next = tail + 1;
    } else {
      while (tail < n && !isSep(AText[tail]) && AText[tail] != '"') ++tail;
      if (tail < n && AText[tail] == '"') {
        // A quote inside the entry: the quoted section and both quotes belong to it, and the
        // entry ends right after the closing quote. The byte after that is taken for the
        // separator and skipped, whatever it is.
        ++tail;
        while (tail < n && AText[tail] != '"') ++tail;
        if (tail < n) ++tail;
      }
      next = tail + 1;
    }
    std::string entry = UrlDecode(AText.substr(head, tail - head));
    if (AStripQuotes) std::erase_if(entry, [](char c) { return c == '"' || c == '\''; });
    if (!entry.empty()) list.Add(std::move(entry));
    i = next;
  }
  return list;
}

std::string TZDEnhPageProducer::ProcessTag(const std::string& ATagName,
                                           const TZDParamList& ATagParams) {
  std::string text;
  bool accept = true;
  if (OnBeforeCmd) text = OnBeforeCmd(*this, ATagName, ATagParams, accept);
  if (accept) {
    if (SameTagName(ATagName, "FIELD")) {
      text = ProduceField(std::string(ATagParams.Value("NAME")), ATagParams);
    } else if (SameTagName(ATagName, "INC")) {
      text = ProduceInclude(std::string(ATagParams.Value("FILE")), ATagParams);
    } else if (SameTagName(ATagName, "DEFAULT")) {
      text = ApplyFontParams(&FDefaultFont, FDefaultEllipsis, ATagParams);
    }
    if (OnAfterCmd) OnAfterCmd(*this, ATagName, ATagParams);
  }
  if (text.empty() && OnCustomEvent) text = OnCustomEvent(*this, ATagName, ATagParams);
  if (OnHTMLTag) OnHTMLTag(*this, TTag::tgCustom, ATagName, ATagParams, text);
  return text;
}

std::string TZDEnhPageProducer::ProduceField(const std::string& AFieldName,
                                             const TZDParamList& ATagParams) {
  std::string value = OnGetField ? OnGetField(*this, AFieldName, ATagParams) : std::string();
  if (value.empty() || value == "&nbsp;") return value;
  if (!htmltext::AnsiSameText(ATagParams.Value("MARK"), "FALSE")) FDataMark = true;

  std::string errors;
  try {
    bool ellipsis = false;
    ApplyFontParams(nullptr, ellipsis, ATagParams);
    if (ellipsis) {
      const std::string maxWidth(ATagParams.Value("MAXWIDTH"));
      if (maxWidth.empty())
        errors += "; Missing MAXWIDTH";
      else
        value = ShortenText(nullptr, StrToIntDec(maxWidth), value, "...");
    }
  } catch (const std::exception& e) {
    errors += "; ";
    errors += e.what();
  }
  if (!errors.empty()) value += ErrorText(errors);
  return value;
}

std::string TZDEnhPageProducer::ProduceInclude(const std::string& AFileName,
                                               const TZDParamList& ATagParams) {
  TActiveGuard active(*FProduction);
  if (!IsIncludeName(AFileName))
    return ErrorText(" Include name refused: " + Printable(AFileName) + " ");
  // The full name is only needed for error texts.
  auto path = [&] { return FIncludePath + AFileName + FIncludeExt; };
  if (FProduction->Depth >= kMaxIncludeDepth)
    return ErrorText(" Include too deep: " + path() + " ");
  const std::string relative = AFileName + FIncludeExt;
  TJWFolderView& folder = IncludeFolder();
  TJWFolderView::TFile& file = folder.Check(relative);
  if (file.Kind == platform::TFileKind::Outside)
    return ErrorText(" Include name refused: " + Printable(AFileName) + " ");
  if (file.Kind != platform::TFileKind::Regular)
    return ErrorText(" File not found: " + path() + " ");
  if (++FProduction->Includes > kMaxIncludesPerPage)
    return ErrorText(" Too many includes: " + path() + " ");
  // The file as it is now; Produce counts what was really read. Lines come back with CR LF, which
  // at most doubles a file.
  const size_t left = kMaxScannedBytes - std::min(FProduction->Scanned, kMaxScannedBytes);
  if (left < 2 || file.Identity.Size > (left - 2) / 2)
    return ErrorText(" Too much template text: " + path() + " ");
  const TZDTemplateFile compiled = CompiledFile(folder, file, relative, true, true);
  switch (compiled.State) {
    case TZDTemplateFile::tfRead:
      break;
    case TZDTemplateFile::tfMissing:
      throw EJWError("Datei \"" + path() + "\" nicht gefunden!");
    case TZDTemplateFile::tfTooLarge:
      throw EJWError("Template file too large: " + path());
    default:
      throw EJWError("Konnte Datei \"" + path() + kCannotOpenTail);
  }

  TZDEnhPageProducer& include = IncludeProducer();
  include.SetTemplate(compiled.Template);
  std::string text;
  {
    ++FProduction->Depth;
    struct TDepthGuard {
      TProduction& P;
      ~TDepthGuard() { --P.Depth; }
    } depth{*FProduction};
    text = include.Content();
  }

  const std::string_view accept = ATagParams.Value("ACCEPT");
  if (htmltext::AnsiSameText(accept, "DATA")) {
    if (!include.DataMark()) text.clear();
  } else if (htmltext::AnsiSameText(accept, "EVER")) {
    if (text.empty()) FDataMark = true;
  }
  if (!FDataMark) FDataMark = include.DataMark();
  return text;
}

std::string TZDEnhPageProducer::ApplyFontParams(TZDFont* AFont, bool& AEllipsis,
                                                const TZDParamList& ATagParams) {
  // Every entry is applied with its own value, in order, so the last of a repeated name decides.
  std::string errors;
  for (int i = 0; i < ATagParams.Count(); ++i) {
    const std::string_view name = ATagParams.UpperName(i);
    const std::string_view value = ATagParams.ValueAt(i);
    if (name == "FONT-SIZE") {
      if (!AFont) continue;
      try {
        AFont->Size = StrToIntDec(std::string(value));
      } catch (const std::exception& e) {
        errors += "; ";
        errors += e.what();
      }
    } else if (name == "FONT-FAMILIE") {
      if (AFont) AFont->Family = value;
    } else if (name == "FONT-STYLE") {
      if (!AFont) continue;
      AFont->Bold = AFont->Italic = AFont->Underline = AFont->StrikeOut = false;
      if (htmltext::AnsiSameText(value, "ITALIC"))
        AFont->Italic = true;
      else if (htmltext::AnsiSameText(value, "BOLD"))
        AFont->Bold = true;
    } else if (name == "ELLIPSIS") {
      AEllipsis = htmltext::AnsiSameText(value, "TRUE");
    }
  }
  return errors.empty() ? std::string() : ErrorText(errors.substr(1));
}

}  // namespace jw
