#pragma once
// One data directory: the only place that knows the names of its three data files and opens their
// readers, wired together (the entry reader takes its logos from the logo reader).
//
// Exports use the process-wide directory of the data path (Use): its readers stay open from call
// to call. Each call resolves the folder once, at its start (a link to it is followed then and
// never again), opens files relative to that one folder and checks each file it touches once by
// identity before trusting what is open. So one call reads one version of the three files, even
// while the folder is swapped behind a link, and a file replaced, rewritten, renamed over or
// removed between two calls is seen at the next one (a removed file fails with the reader's usual
// message). Where the system does not let open files be replaced (Windows), the readers are closed
// at the end of each call instead. A viewer window keeps a directory of its own for as long as it
// is open.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "store/JWDataFileNames.h"
#include "store/JWEEntryDatFile.h"
#include "store/JWELogoDatFile.h"
#include "store/JWETemplateDatFile.h"
#include "store/JWFolderView.h"

namespace jw {

class TJWDataDirectory {
 public:
  // APath names the directory; the empty text is the current directory. Opens nothing yet.
  explicit TJWDataDirectory(const std::string& APath);
  ~TJWDataDirectory();
  TJWDataDirectory(const TJWDataDirectory&) = delete;
  TJWDataDirectory& operator=(const TJWDataDirectory&) = delete;

  const std::string& Path() const { return FPath; }
  // The full name of one of the data files above, as its reader opens it: the path followed by
  // the name, with a separator between them unless the path is blank or ends in one. (A path of
  // blanks alone names files beginning with those blanks in the current directory.)
  std::string FileName(const char* AName) const;
  static std::string FileName(const std::string& APath, const char* AName);

  // The folder as the current call resolved it (null outside a call and before Recheck): its
  // identity, and the identities of the data files the call checked, for holders of caches of
  // their own.
  std::shared_ptr<const TJWFolderView> View() const { return FView; }

  // The readers, opened lazily on first use as before. The entry reader delivers logos from
  // Logos(); EntriesWithoutLogos() is the same reader with no logo source, for callers that must
  // not depend on the image file.
  TJWEEntryDatFile& Entries();
  TJWEEntryDatFile& EntriesWithoutLogos();
  TJWELogoDatFile& Logos();
  TJWETemplateDatFile& Templates();

  // Entry AId as the entry reader loads it, but without its logo (the image file plays no part):
  // shared and never changed. Decoded entries are kept in the record cache under the entry file's
  // identity, so asking for the same entry again, in this call or a later one, costs nothing.
  // Fails as the entry reader does.
  std::shared_ptr<const TJW2DataRec> EntryWithoutLogo(uint32_t AId);
  // Entry AId with its logo, which comes from its own cache: a copy of the shared entry.
  void LoadEntry(uint32_t AId, TJW2DataRec& ARecord);

  // Closes the three readers; the next use opens them again.
  void CloseFiles();

  // Resolves the folder afresh; the next use of each reader first compares the file in it with the
  // file the reader has open and starts a fresh reader when they differ.
  void Recheck();

  // The process-wide directory of APath, held for one call: its lock is taken (calls on the same
  // directory from several threads take turns) and its files are checked anew. A call made from
  // inside another on the same thread (through a host routine) shares the outer call's check, so
  // no reader the outer call is using goes away under it.
  class TCall {
   public:
    TCall() = default;
    TCall(TCall&& AOther) noexcept = default;
    TCall& operator=(TCall&&) = delete;
    ~TCall();
    TJWDataDirectory& operator*() const { return *FDirectory; }
    TJWDataDirectory* operator->() const { return FDirectory.get(); }
    // For holders that live within the call only.
    const std::shared_ptr<TJWDataDirectory>& Shared() const { return FDirectory; }

   private:
    friend class TJWDataDirectory;
    std::shared_ptr<TJWDataDirectory> FDirectory;
    std::unique_lock<std::recursive_mutex> FLock;
  };
  static TCall Use(const std::string& APath);
  // Closes and forgets every process-wide directory not in use (for tests and at unload).
  static void ForgetAll();
  // Process-wide directories kept open at most; the least recently used beyond goes.
  static constexpr size_t MaxOpenDirectories = 8;

 private:
  enum TFile { fEntries, fLogos, fTemplates };
  void Check(TFile AFile);
  // The data files' folder, and a data file's name inside it.
  std::string FolderPath() const;
  std::string Relative(const char* AName) const;
  template <class TReader>
  TReader& Reader(std::unique_ptr<TReader>& AReader, TFile AFile, const char* AName);

  std::string FPath;
  std::string FFolder;  // where the files are: the path, or for a blank one the current directory
  std::shared_ptr<TJWFolderView> FView;
  std::recursive_mutex FLock;
  std::unique_ptr<TJWELogoDatFile> FLogos;
  std::unique_ptr<TJWEEntryDatFile> FEntries;
  std::unique_ptr<TJWETemplateDatFile> FTemplates;
  bool FChecked[3] = {true, true, true};
  int FCalls = 0;  // calls holding this directory (a host routine may call again from inside one)
};

}  // namespace jw
