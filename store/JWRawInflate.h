#pragma once
// Raw deflate streams (no zlib or gzip header), as the data files store every entry record, logo
// and template picture: inflated step by step or whole, never beyond a cap the caller names.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace jw {

// Inflates a raw deflate stream (no zlib or gzip header) step by step, so that the caller decides
// how much it wants and no stated size is ever allocated up front.
class TJWRawInflater {
 public:
  // AData must outlive the inflater.
  TJWRawInflater(const void* AData, size_t ASize);
  ~TJWRawInflater();
  TJWRawInflater(const TJWRawInflater&) = delete;
  TJWRawInflater& operator=(const TJWRawInflater&) = delete;

  // Appends up to ACount inflated bytes to AOut and returns how many were appended; fewer when the
  // stream ends or is cut short. A corrupt stream sets Corrupt() and appends nothing further.
  size_t Read(std::vector<uint8_t>& AOut, size_t ACount);
  // Fills exactly ACount bytes at ADest, zero-filling what the stream does not hold; returns how
  // many came from the stream.
  size_t ReadFixed(void* ADest, size_t ACount);

  bool Finished() const { return FState == State::Finished; }  // the end marker was reached
  bool Corrupt() const { return FState == State::Corrupt; }
  const std::string& Error() const { return FError; }  // zlib's reason when corrupt

 private:
  enum class State { Running, Finished, Short, Corrupt };
  struct Impl;
  Impl* FImpl;
  State FState = State::Running;
  std::string FError;
};

struct TJWInflateResult {
  std::vector<uint8_t> Data;  // what could be inflated, at most the cap
  bool Complete = false;      // the stream ended within the cap
  bool Corrupt = false;  // the stream is damaged (not merely short); Data holds what came before
  std::string Error;     // the reason when corrupt
};

// Inflates a whole raw deflate stream, but never more than AMaxOut bytes; memory grows with the
// output actually produced, not with AMaxOut.
TJWInflateResult InflateRaw(const void* AData, size_t ASize, size_t AMaxOut);

}  // namespace jw
