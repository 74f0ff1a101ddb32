#include "tools/jwprogress.h"

#include <unistd.h>

#include <cstdio>

namespace jw {

namespace {

std::string Grouped(uint64_t AValue) {
  std::string digits = std::to_string(AValue), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Duration(uint64_t ASeconds) {
  char text[32];
  if (ASeconds >= 3600)
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", (unsigned long long)(ASeconds / 3600),
                  (unsigned long long)(ASeconds / 60 % 60), (unsigned long long)(ASeconds % 60));
  else
    std::snprintf(text, sizeof text, "%llu:%02llu", (unsigned long long)(ASeconds / 60),
                  (unsigned long long)(ASeconds % 60));
  return text;
}

}  // namespace

TProgressLine::TProgressLine(uint64_t ATotal, std::string AUnit)
    : Total(ATotal), Unit(std::move(AUnit)), Active(isatty(STDERR_FILENO) == 1) {
  Start = LastDraw = TClock::now();
}

TProgressLine::~TProgressLine() {
  // Work that stopped early (a failure) must not leave its message on the progress line.
  if (Drawn) std::fputc('\n', stderr);
}

void TProgressLine::Step(uint64_t ADone) {
  if (!Active) return;
  const TClock::time_point now = TClock::now();
  if (ADone < Total && now - LastDraw < std::chrono::milliseconds(100)) return;
  LastDraw = now;
  const double seconds = std::chrono::duration<double>(now - Start).count();
  // "\033[K" clears what a longer earlier line left behind.
  std::fprintf(stderr, "\r%s\033[K", Text(ADone, Total, Unit, seconds).c_str());
  std::fflush(stderr);
  Drawn = true;
}

std::string TProgressLine::Text(uint64_t ADone, uint64_t ATotal, const std::string& AUnit,
                                double ASeconds) {
  std::string line = Grouped(ADone) + " / " + Grouped(ATotal) + " " + AUnit;
  if (ASeconds <= 0 || ADone == 0) return line;
  const double rate = double(ADone) / ASeconds;
  line += "   " + Grouped(uint64_t(rate)) + "/s";
  if (ADone >= ATotal) return line + "   done in " + Duration(uint64_t(ASeconds + 0.5));
  return line + "   " + Duration(uint64_t(double(ATotal - ADone) / rate + 0.5)) + " left";
}

}  // namespace jw
