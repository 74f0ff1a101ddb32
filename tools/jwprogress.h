#pragma once
// A single progress line for long work of the command-line tools, redrawn in place on stderr:
//
//   412,000 / 1,000,000 entries   35,210/s   0:16 left
//
// Drawn only when stderr is a terminal; into a file or pipe nothing extra is written.
#include <chrono>
#include <cstdint>
#include <string>

namespace jw {

class TProgressLine {
 public:
  TProgressLine(uint64_t ATotal, std::string AUnit);
  ~TProgressLine();
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;

  // ADone units are finished. Redraws at most ten times a second, and always at the end.
  void Step(uint64_t ADone);

  // The text of the line for ADone units after ASeconds.
  static std::string Text(uint64_t ADone, uint64_t ATotal, const std::string& AUnit,
                          double ASeconds);

 private:
  using TClock = std::chrono::steady_clock;
  uint64_t Total;
  std::string Unit;
  bool Active;
  bool Drawn = false;
  TClock::time_point Start, LastDraw;
};

}  // namespace jw
