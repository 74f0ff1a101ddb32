#pragma once
// Low-level access to the read-only data files: name resolution, opening with the user-visible
// failure messages, positional reads and bounded raw inflation. The three data-file readers share
// it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/JWPlatform.h"

namespace jw {

using platform::IsDirectoryEnd;

// The file name a data-file reader opens: AFileName itself when it names a directory, else the
// process's current directory, a separator and AFileName.
std::string ResolveDataFileName(const std::string& AFileName);

// ADirectory with a trailing separator (unless it already ends in one, or is empty) and AFileName.
std::string JoinPath(const std::string& ADirectory, const std::string& AFileName);

// One read-only data file. Reads are positional and never move a shared file position, so a
// reader can probe its index in any order. A file that shrinks while open yields short reads.
class TJWDatFileIO {
 public:
  TJWDatFileIO() = default;
  ~TJWDatFileIO();
  TJWDatFileIO(const TJWDatFileIO&) = delete;
  TJWDatFileIO& operator=(const TJWDatFileIO&) = delete;

  bool IsOpen() const { return FHandle != platform::InvalidFile; }
  // Fails with "File already open!", "Datei "<name>" nicht gefunden!" or
  // "Konnte Datei "<name>" nicht öffnen!".
  void Open(const std::string& AFileName);
  void Close();
  const std::string& GetFileName() const { return FFileName; }

  // Reads up to ASize bytes at AOffset into ABuffer; returns how many were read (fewer at the end
  // of the file, 0 beyond it). Fails only on a read error of the system.
  size_t ReadAt(uint64_t AOffset, void* ABuffer, size_t ASize) const;
  // ReadAt into a new buffer of at most ASize bytes, never larger than what the file holds there.
  std::vector<uint8_t> ReadBytes(uint64_t AOffset, uint64_t ASize) const;
  // The current size of the open file.
  uint64_t Size() const;

 private:
  platform::TFileHandle FHandle = platform::InvalidFile;
  std::string FFileName;
};

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
