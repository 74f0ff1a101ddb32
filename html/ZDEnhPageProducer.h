#pragma once
// The template tag engine: turns an HTML template with tags of the form <#NAME PARAM=VALUE ...>
// into finished text. It knows three tags of its own (FIELD, INC, DEFAULT); everything else comes
// from its owner through the events. It knows nothing about entries.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/ZDParamList.h"
#include "store/JWLimits.h"

namespace jw {

// Kind of a tag handed to OnHTMLTag. The engine does not classify tags: it always passes tgCustom.
enum class TTag { tgCustom, tgLink, tgImage, tgTable, tgImageMap, tgObject, tgEmbed };

// The font that DEFAULT tags configure. Nothing is drawn with it; it is carried to include
// producers and can be read back by the owner.
struct TZDFont {
  std::string Family = "Arial";
  int32_t Size = 8;  // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;

  bool operator==(const TZDFont&) const = default;
};

class TZDEnhPageProducer;
class TJWFolderView;

// A template parsed once: its text with line ends made CR LF, cut at its first NUL byte, as runs
// of literal bytes and tags with their parameters parsed. Immutable; shared through the record
// cache by all pages that use the same version of the file.
struct TZDCompiledTemplate {
  struct TTagItem {
    std::string Name;
    TZDParamList Params;
    std::string Error;  // the parameters could not be read: production stops here with this
  };
  struct TPiece {
    size_t Begin = 0, Length = 0;  // literal bytes of Text
    int32_t Tag = -1;              // or the tag Tags[Tag]
  };
  std::string Text;
  std::vector<TPiece> Pieces;
  std::vector<TTagItem> Tags;
  std::string LineError;  // a line too long for the scanner: nothing is produced
  bool StripParamQuotes = true;
  bool Lines = false;  // made from a file taken as lines

  // ATemplate scanned as the engine scans it; AFromFile takes it as lines first (CR, LF or CR LF
  // ends a line; each comes back with CR LF).
  static std::shared_ptr<const TZDCompiledTemplate> Compile(std::string_view ATemplate,
                                                            bool AStripQuotes, bool AFromFile);
  // Roughly the bytes it occupies.
  size_t Bytes() const;
};

// What became of a template file looked up in the include folder.
struct TZDTemplateFile {
  enum TState { tfRead, tfMissing, tfOutside, tfTooLarge, tfUnreadable };
  TState State = tfMissing;
  std::shared_ptr<const TZDCompiledTemplate> Template;
};

// Sender is always the producer that raises the event (an include producer for tags inside an
// include file). The parameter list is only valid during the call.
using TZDGetFieldEvent = std::function<std::string(
    TZDEnhPageProducer& Sender, const std::string& AFieldname, const TZDParamList& ATagParams)>;
using TZDCmdBeforeEvent =
    std::function<std::string(TZDEnhPageProducer& Sender, const std::string& ATagString,
                              const TZDParamList& ATagParams, bool& Accept)>;
using TZDCmdAfterEvent = std::function<void(
    TZDEnhPageProducer& Sender, const std::string& ATagString, const TZDParamList& ATagParams)>;
using TZDCustomEvent = std::function<std::string(
    TZDEnhPageProducer& Sender, const std::string& ATagString, const TZDParamList& ATagParams)>;
using THTMLTagEvent =
    std::function<void(TZDEnhPageProducer& Sender, TTag Tag, const std::string& TagString,
                       const TZDParamList& TagParams, std::string& ReplaceText)>;

class TZDEnhPageProducer {
 public:
  // Includes nest at most this deep; a deeper INC yields an error text, so a file that includes
  // itself ends.
  static constexpr int kMaxIncludeDepth = limits::MaxIncludeDepth;
  // A template line (up to its line feed, a carriage return included) must be shorter than this.
  static constexpr size_t kMaxLineLength = 4096;
  // Bounds that keep a hostile set of include files from running for ever or eating the memory:
  // include files expanded for one page, bytes of template and include text scanned for one page,
  // bytes held at once by the outputs of all include levels of a page, and the size of a single
  // template or include file. An include over the first two yields an error text.
  static constexpr int kMaxIncludesPerPage = limits::MaxIncludesPerPage;
  static constexpr size_t kMaxScannedBytes = limits::MaxScannedBytesPerPage;
  static constexpr size_t kMaxPageSize = limits::MaxPageSize;
  static constexpr uintmax_t kMaxTemplateFileSize = limits::MaxTemplateFileSize;

  TZDEnhPageProducer();
  virtual ~TZDEnhPageProducer();
  TZDEnhPageProducer(const TZDEnhPageProducer&) = delete;
  TZDEnhPageProducer& operator=(const TZDEnhPageProducer&) = delete;

  // The template as lines. Setting it clears HTMLFile.
  const std::vector<std::string>& HTMLDoc() const { return FHTMLDoc; }
  void SetHTMLDoc(std::vector<std::string> ALines);
  // When not empty the template is read from this file. Setting a name that differs from the
  // current one (ignoring case) clears HTMLDoc.
  const std::string& HTMLFile() const { return FHTMLFile; }
  void SetHTMLFile(const std::string& AFileName);

  bool StripParamQuotes() const { return FStripParamQuotes; }
  void SetStripParamQuotes(bool AValue) { FStripParamQuotes = AValue; }

  const TZDFont& DefaultFont() const { return FDefaultFont; }
  void SetDefaultFont(const TZDFont& AFont) { FDefaultFont = AFont; }
  bool DefaultEllipsis() const { return FDefaultEllipsis; }
  void SetDefaultEllipsis(bool AValue) { FDefaultEllipsis = AValue; }

  // Error texts written into the page are wrapped in these (HTML comment markers at first).
  const std::string& ErrStrPrefix() const { return FErrStrPrefix; }
  void SetErrStrPrefix(const std::string& AValue) { FErrStrPrefix = AValue; }
  const std::string& ErrStrSuffix() const { return FErrStrSuffix; }
  void SetErrStrSuffix(const std::string& AValue) { FErrStrSuffix = AValue; }

  // Directory of include files. A non-empty value gets a trailing path separator.
  const std::string& IncludePath() const { return FIncludePath; }
  void SetIncludePath(const std::string& AValue);
  const std::string& IncludeExt() const { return FIncludeExt; }
  void SetIncludeExt(const std::string& AValue) { FIncludeExt = AValue; }

  // True once a FIELD of this producer, or of an include below it, yielded real data.
  bool DataMark() const { return FDataMark; }

  THTMLTagEvent OnHTMLTag;
  TZDGetFieldEvent OnGetField;
  TZDCmdBeforeEvent OnBeforeCmd;
  TZDCmdAfterEvent OnAfterCmd;
  TZDCustomEvent OnCustomEvent;

  // The finished text of the template (HTMLFile when set, else the HTMLDoc lines each followed by
  // CR LF). Throws EJWError for an over-long line, a bad "%" escape in a tag parameter, a page
  // that grows beyond kMaxPageSize, or an unreadable template file; errors of event handlers pass
  // through.
  std::string Content();
  // The finished text of a template given as bytes. Accepts any byte string.
  std::string ContentOf(std::string_view ATemplate);

  // The template ARelative (name and extension) of the include folder, parsed once per version of
  // the file and looked up once per page. A file that a link leads out of the folder is tfOutside.
  TZDTemplateFile TemplateFile(const std::string& ARelative);
  // Makes ATemplate the template that Content() produces (clears HTMLDoc and HTMLFile).
  void SetTemplate(std::shared_ptr<const TZDCompiledTemplate> ATemplate);
  // The include folder as this page sees it: resolved once, on first use, and kept until the
  // outermost production ends or ForgetFiles is called, so one page reads one version of it.
  // ForgetFiles keeps it as LastIncludeFolder.
  TJWFolderView& IncludeFolder();
  void ForgetFiles();
  // The include folder as the last page saw it (its identity and the files it checked), for
  // holders of caches of their own; null before the first page.
  std::shared_ptr<const TJWFolderView> LastIncludeFolder() const { return FProduction->Last; }

  // Copies the settings (font, ellipsis, field/command/custom events, error texts, include path
  // and extension) from a producer of exactly this class; throws "Klasse nicht kompatiebel!"
  // otherwise and copies nothing.
  void Assign(const TZDEnhPageProducer& ASource);

  // The whole treatment of one tag: events, built-in tags, custom text.
  virtual std::string ProcessTag(const std::string& ATagName, const TZDParamList& ATagParams);
  // A FIELD tag: asks OnGetField, sets the data mark, applies ELLIPSIS/MAXWIDTH.
  virtual std::string ProduceField(const std::string& AFieldName, const TZDParamList& ATagParams);
  // An INC tag: produces IncludePath + AFileName + IncludeExt in an include producer and applies
  // ACCEPT. Owners call it to include a file chosen by data. A name holding a NUL byte, an absolute
  // name or one that leaves the include folder yields an error text, like a missing file.
  virtual std::string ProduceInclude(const std::string& AFileName, const TZDParamList& ATagParams);

  // Splits the parameter text of a tag into entries, URL-decodes them and (optionally) removes
  // quote characters. Throws EJWError for a "%" not followed by two hex digits or "%".
  static TZDParamList ExtractTagParams(std::string_view AText, bool AStripQuotes);

 protected:
  // Settings copy behind Assign, without the class check, for derived classes and includes.
  void AssignSettings(const TZDEnhPageProducer& ASource);
  // The producer that expands INC tags at one include depth of a page: made by the first producer
  // that includes at that depth and reused for every later include there. A derived class may
  // return its own kind.
  virtual std::unique_ptr<TZDEnhPageProducer> CreateIncludeProducer();
  void SetDataMark(bool AValue) { FDataMark = AValue; }

 private:
  // Bookkeeping shared by a producer and all include producers below it, so that the bounds
  // hold for one page however the includes are reached (also through an owner's field handler
  // that includes via the top producer).
  struct TProduction {
    int Active = 0;  // productions running; the counters restart with the outermost one
    int Depth = 0;   // includes being expanded right now
    int Includes = 0;
    size_t Scanned = 0;                     // template and include text taken in
    size_t Bytes = 0;                       // held by the outputs being built
    std::shared_ptr<TJWFolderView> Folder;  // the include folder, resolved once per page
    std::shared_ptr<TJWFolderView> Last;    // the folder of the last page
    // The include producers by depth. Includes at one depth never overlap, so one producer per
    // depth serves them all; the producer that made this bookkeeping releases them.
    std::vector<std::unique_ptr<TZDEnhPageProducer>> Producers;
    const TZDEnhPageProducer* Owner = nullptr;
  };
  class TActiveGuard;

  // Replaces the tags of a compiled template.
  std::string Produce(const TZDCompiledTemplate& ATemplate);
  // The include producer of the current depth, set up with this producer's settings.
  TZDEnhPageProducer& IncludeProducer();
  // Applies FONT-SIZE, FONT-FAMILIE, FONT-STYLE (to AFont, when given) and ELLIPSIS; returns the
  // error text for sizes that are not integers, or the empty text.
  std::string ApplyFontParams(TZDFont* AFont, bool& AEllipsis, const TZDParamList& ATagParams);
  std::string ErrorText(const std::string& AMessage) const;

  std::vector<std::string> FHTMLDoc;
  std::string FHTMLFile;
  std::shared_ptr<const TZDCompiledTemplate> FTemplate;
  bool FStripParamQuotes = true;
  TZDFont FDefaultFont;
  bool FDefaultEllipsis = false;
  std::string FErrStrPrefix = "<!--";
  std::string FErrStrSuffix = "-->";
  std::string FIncludePath;
  std::string FIncludeExt = ".html";
  bool FDataMark = false;
  std::shared_ptr<TProduction> FProduction;
};

}  // namespace jw
