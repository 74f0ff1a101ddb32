#pragma once
// A viewer window as a shell sees it: it asks the window for its display list, forwards the
// user's input, and carries out what the window asks for (repaint, close, open a web address,
// open another window). The window's rules live behind this interface and know no toolkit.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "viewer/core/JWDisplayList.h"

namespace jw {

enum class TJWCursor { crArrow, crHand };

enum class TJWKey { kEscape, kEnter, kUp, kDown, kPageUp, kPageDown, kHome, kEnd };

// What a native control reports; AControlId is the slot's Id.
enum class TJWControlEventKind {
  ceListSelect,    // AIndex: the row now selected (-1: none)
  ceListActivate,  // double click or Enter on row AIndex
  ceListScroll,    // AIndex: the new top row
  ceEditChange,    // AText: the new text
  ceEditEnter,     // Enter in the text box
  ceComboSelect,   // AIndex: the chosen item
  ceRadioCheck     // the radio button was checked
};

struct TJWControlEvent {
  TJWControlEventKind Kind = TJWControlEventKind::ceListSelect;
  int32_t ControlId = 0;
  int32_t Index = -1;
  std::string Text;
};

// Where a window stands on the screen, outer frame included, in screen pixels.
struct TJWPlacement {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool Maximized = false;
  bool operator==(const TJWPlacement&) const = default;
};

// Named string values under a section, as an INI file or the registry holds them. The Qt shell
// keeps them with QSettings, the Win32 shell in the registry under HKEY_CURRENT_USER\<key>.
class TJWSettingsStore {
 public:
  virtual ~TJWSettingsStore() = default;
  virtual std::string Read(const std::string& ASection, const std::string& AName) = 0;  // "" if none
  virtual void Write(const std::string& ASection, const std::string& AName,
                     const std::string& AValue) = 0;
};

// The placement rules, the same on every platform: where a window of the current placement
// ACurrent goes after reading ASection (values "m", "x", "y", "w", "h"; unreadable values are
// ignored, the window stays on a screen of size AScreenWidth x AScreenHeight), and what is written
// back when it closes.
TJWPlacement LoadPlacement(TJWSettingsStore& AStore, const std::string& ASection,
                           const TJWPlacement& ACurrent, int32_t AScreenWidth,
                           int32_t AScreenHeight);
void SavePlacement(TJWSettingsStore& AStore, const std::string& ASection,
                   const TJWPlacement& APlacement);

class TJWWindowModel {
 public:
  virtual ~TJWWindowModel() = default;

  virtual int32_t ClientWidth() const = 0;
  virtual int32_t ClientHeight() const = 0;
  virtual std::string Caption() const = 0;  // Windows-1252

  // The whole client area. Control slots carry the controls' current state.
  virtual TJWDisplayList Paint(TJWTextMetrics& AMetrics) = 0;
  // One row of a ckList control, in row coordinates (0, 0, slot width, RowHeight), the row's
  // background included.
  virtual TJWDisplayList PaintListRow(TJWTextMetrics& AMetrics, int32_t AControlId, int32_t ARow,
                                      bool ASelected) = 0;

  // Mouse input on the painted client area (not on native controls).
  virtual void MouseMove(int32_t AX, int32_t AY) = 0;
  virtual void MouseLeave() = 0;
  virtual void Click(int32_t AX, int32_t AY) = 0;
  virtual void DoubleClick(int32_t AX, int32_t AY) = 0;
  virtual TJWCursor CursorAt(int32_t AX, int32_t AY) const = 0;
  virtual std::string ToolTipAt(int32_t AX, int32_t AY) const = 0;  // empty: none
  virtual void Key(TJWKey AKey) = 0;
  virtual void ControlEvent(const TJWControlEvent& AEvent) = 0;

  // The window's content changed: paint again (and update the native controls from the slots).
  std::function<void()> OnInvalidate;
  // The window wants to close (the closing button, Esc).
  std::function<void()> OnClose;
  // Open a web or mail address in the user's browser or mail program.
  std::function<void(const std::string&)> OnOpenUrl;
  // Show another window (a branch office); the shell takes it over like the first.
  std::function<void(std::unique_ptr<TJWWindowModel>)> OnOpenWindow;

  // The shell's native window (a HWND, an X11 window id), handed to host routines that want a
  // parent for dialogs of their own; 0 while there is none.
  uintptr_t NativeWindow = 0;
};

}  // namespace jw
