#include "viewer/ufraJWBusinessTypes.h"

namespace jw {

namespace {

bool IsBlank(char AChar) {
  const auto code = static_cast<unsigned char>(AChar);
  return code >= 1 && code <= 32;
}

}  // namespace

TStringList SplitCommaText(const std::string& AText) {
  TStringList items;
  size_t pos = 0;
  const size_t end = AText.size();
  auto skipBlanks = [&] {
    while (pos < end && IsBlank(AText[pos])) ++pos;
  };
  skipBlanks();
  while (pos < end) {
    std::string item;
    if (AText[pos] == '"') {
      ++pos;
      while (pos < end) {
        if (AText[pos] == '"') {
          if (pos + 1 < end && AText[pos + 1] == '"') {
            item += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        item += AText[pos++];
      }
    } else {
      // A NUL byte is no separator; it stays inside the item.
      while (pos < end && AText[pos] != ',' && !IsBlank(AText[pos])) item += AText[pos++];
    }
    items.push_back(item);
    skipBlanks();
    if (pos < end && AText[pos] == ',') {
      ++pos;
      skipBlanks();
    }
  }
  return items;
}

TfraJWBusinessTypes::TfraJWBusinessTypes(QWidget* AOwner)
    : TJWListFrame(AOwner, "fraJWBusinessTypes", "pnlVPGeschTypen", "pnlGeschTypen",
                   "lsbVPGeschTypen",
                   "Gesch\xE4"
                   "ftstypen",
                   true) {}

void TfraJWBusinessTypes::UpdateContent() {
  ListBox()->clear();
  if (!FData || FData->BusinessTypes.empty()) return;
  SetLines(SplitCommaText(FData->BusinessTypes));
  FitToLines();
}

}  // namespace jw
