// Loading one entry from entry data files of 1,000 and 1,000,000 entries, beside the floor of
// inflating that entry's compressed bytes from memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "store/JWDatFileIO.h"
#include "store/JWEEntryDatFile.h"
#include "tests/support/EntryAddress.h"
#include "tools/writer/DeflateRaw.h"
#include "tools/writer/JWDatWriter.h"

namespace {

using namespace jw;

TJWEntryFixture SampleEntry() {
  TJWEntryFixture e;
  TJW2DataRec& r = e.Record;
  r.Code5 = "00000";
  r.NamePart1 =
      "B\xE4"
      "ckerei";
  r.NamePart5 = "M\xFCller";
  r.NameFormat = "\\1 \\5";
  r.Slogan = "Brot wie fr\xFCher";
  jwtest::FillAddress(r);
  r.EMail = "info@example.invalid";
  r.Industries = {
      "B\xE4"
      "ckereien",
      "Caf\xE9s", "Konditoreien"};
  r.Searchwords = {"Br\xF6tchen", "Kuchen", "Vollkornbrot",
                   "Fr\xFChst\xFC"
                   "ck"};
  r.OfficeHoursKind = 1;
  for (const char* day : {"MOX", "DIX", "MIX", "DOX", "FRX", "SAX"})
    r.OfficeHours.push_back(std::string(day) + "\t\t06:00\t13:00\t15:00\t18:00");
  r.EnhInfoKind = 1;
  r.EnhInfo = {"Gegr\xFCndet:\t1952", "Mitarbeiter:\t14"};
  r.BusinessTypes = "Handwerk,Einzelhandel";
  return e;
}

// Compressing a million records one by one would take most of a minute. Only the first bytes of
// the record (identifier and Code5) differ between entries, so each payload is a stored deflate
// block holding those bytes followed by one shared compressed stream of the rest: still a valid
// raw deflate stream per entry.
constexpr size_t kVaryingBytes = 10;

struct TSharedTail {
  std::vector<uint8_t> Record;  // the inflated record of entry 0
  std::vector<uint8_t> Tail;    // the compressed rest after kVaryingBytes
};

const TSharedTail& Tail() {
  static const TSharedTail tail = [] {
    TSharedTail t;
    t.Record = EncodeEntryRecord(SampleEntry());
    t.Tail = DeflateRaw(t.Record.data() + kVaryingBytes, t.Record.size() - kVaryingBytes);
    return t;
  }();
  return tail;
}

std::vector<uint8_t> Payload(uint32_t AId) {
  const TSharedTail& t = Tail();
  uint8_t varying[kVaryingBytes];
  std::copy_n(t.Record.begin(), kVaryingBytes, varying);
  for (int i = 0; i < 4; ++i) varying[i] = uint8_t(AId >> (8 * i));
  uint32_t code = AId % 100000;  // Code5: five digits
  for (int i = 9; i >= 5; --i, code /= 10) varying[i] = uint8_t('0' + code % 10);

  // Stored block header: not final, type 0, then LEN and its complement.
  const uint8_t header[5] = {0x00, uint8_t(kVaryingBytes), 0x00, uint8_t(~kVaryingBytes), 0xFF};
  std::vector<uint8_t> p(sizeof header + kVaryingBytes + t.Tail.size());
  std::copy_n(header, sizeof header, p.data());
  std::copy_n(varying, kVaryingBytes, p.data() + sizeof header);
  std::copy(t.Tail.begin(), t.Tail.end(), p.data() + sizeof header + kVaryingBytes);
  return p;
}

class TBenchDir {
 public:
  TBenchDir() {
    FPath = std::filesystem::temp_directory_path() / ("jwbench-" + std::to_string(getpid()));
    std::filesystem::create_directories(FPath);
  }
  ~TBenchDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  // The file of ACount entries with the identifiers 1 .. ACount, written once per run.
  const std::string& File(uint32_t ACount) {
    auto it = FFiles.find(ACount);
    if (it != FFiles.end()) return it->second;
    const std::string name = (FPath / ("JWDAT-" + std::to_string(ACount) + ".SRM")).string();
    TJWDatWriter writer(name);
    for (uint32_t id = 1; id <= ACount; ++id) writer.AddPayload(id, Payload(id));
    writer.Finish();
    return FFiles[ACount] = name;
  }

 private:
  std::filesystem::path FPath;
  std::map<uint32_t, std::string> FFiles;
};

TBenchDir& Dir() {
  static TBenchDir dir;
  return dir;
}

// Identifiers spread over the file so that the probes do not repeat one path.
uint32_t IdAt(size_t AStep, uint32_t ACount) {
  return uint32_t((AStep * 2654435761u) % ACount) + 1;
}

void BM_LoadEntry(benchmark::State& AState) {
  const uint32_t count = uint32_t(AState.range(0));
  TJWEEntryDatFile file(Dir().File(count));
  file.Open();
  size_t step = 0;
  for (auto _ : AState) {
    TJW2DataRec record;
    file.LoadEntry(IdAt(step++, count), record);
    benchmark::DoNotOptimize(record.Industries.data());
  }
}
BENCHMARK(BM_LoadEntry)->Arg(1000)->Arg(1000000);

// A fresh reader that opens the file, loads and closes: what a call pays where the data files are
// closed after every call (Windows), as the first call of a process does everywhere.
void BM_OpenLoadClose(benchmark::State& AState) {
  const uint32_t count = uint32_t(AState.range(0));
  const std::string& name = Dir().File(count);
  size_t step = 0;
  for (auto _ : AState) {
    TJWEEntryDatFile file(name);
    TJW2DataRec record;
    file.LoadEntry(IdAt(step++, count), record);
    benchmark::DoNotOptimize(record.Industries.data());
  }
}
BENCHMARK(BM_OpenLoadClose)->Arg(1000)->Arg(1000000);

// The floor: inflating one entry's compressed bytes already in memory.
void BM_InflateFloor(benchmark::State& AState) {
  const std::vector<uint8_t> payload = Payload(500);
  const size_t size = Tail().Record.size();
  for (auto _ : AState) {
    TJWInflateResult r = InflateRaw(payload.data(), payload.size(), size);
    benchmark::DoNotOptimize(r.Data.data());
  }
}
BENCHMARK(BM_InflateFloor);

}  // namespace

BENCHMARK_MAIN();
