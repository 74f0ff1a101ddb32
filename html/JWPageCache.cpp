#include "html/JWPageCache.h"

#include <algorithm>
#include <vector>

#include "html/JWHTMLProducer.h"
#include "html/JWHTMLText.h"
#include "store/JWFolderView.h"
#include "store/JWRecordCache.h"

namespace jw {

namespace {

// The parameter names that the pages of one request have read, over all their requests: sorted,
// once each. A page is kept under the values its query gives all of them, so a page that read
// fewer is simply not found once more names come in.
struct TParamNames {
  std::vector<std::string> Names;
};

struct TKeptPage {
  TJWFolderView::TSnapshot Data, Templates;
  std::string Page;
  size_t Bytes() const { return sizeof(*this) + Data.Bytes() + Templates.Bytes() + Page.size(); }
};

// Pages have a cache of their own, so that a stream of requests for pages never asked before
// cannot push the decoded pictures and parsed templates out of the record cache.
TJWRecordCache& Pages() {
  static TJWRecordCache cache(TJWPageCache::Bound);
  return cache;
}

void AppendField(std::string& AKey, const std::string& AValue) {
  AKey += std::to_string(AValue.size());
  AKey += ':';
  AKey += AValue;
}

std::string RequestKey(const TJWPageRequest& ARequest) {
  std::string key = "H|" + std::to_string(ARequest.EntryId) + '|' +
                    std::to_string(ARequest.PageIndex) + '|' + char('0' + ARequest.ShowLocation) +
                    char('0' + ARequest.ForceLocation) + '|';
  AppendField(key, ARequest.DataPath);
  AppendField(key, ARequest.IncludePath);
  return key;
}

std::string NamesKey(const std::string& ARequestKey) {
  return 'N' + ARequestKey;
}

// The request's values of ANames, read as the producer reads them from the same query.
std::string PageKey(const std::string& ARequestKey, const TParamNames& ANames,
                    const std::string& AQuery) {
  htmltext::TStringList params;
  htmltext::MergeQuery(params, AQuery);
  std::string key = 'P' + ARequestKey;
  for (const std::string& name : ANames.Names) {
    AppendField(key, name);
    AppendField(key, htmltext::ParamValue(params, name));
  }
  return key;
}

}  // namespace

std::shared_ptr<const std::string> TJWPageCache::Find(const TJWPageRequest& ARequest) {
  TJWRecordCache& cache = Pages();
  const std::string request = RequestKey(ARequest);
  const auto names = cache.Find<TParamNames>(NamesKey(request));
  if (!names) return nullptr;
  const auto kept = cache.Find<TKeptPage>(PageKey(request, *names, ARequest.Query));
  if (!kept || !kept->Data.Unchanged() || !kept->Templates.Unchanged()) return nullptr;
  return std::shared_ptr<const std::string>(kept, &kept->Page);
}

void TJWPageCache::Put(const TJWPageRequest& ARequest, TJWHTMLProducer& AProducer,
                       const TJWFolderView& AData, const std::string& APage) {
  const auto templates = AProducer.Engine().LastIncludeFolder();
  if (!templates || AProducer.ParamsReadAll() || APage.size() > MaxPageBytes) return;
  TJWRecordCache& cache = Pages();
  const std::string request = RequestKey(ARequest);

  auto names = std::make_shared<TParamNames>();
  if (const auto known = cache.Find<TParamNames>(NamesKey(request))) *names = *known;
  const size_t before = names->Names.size();
  names->Names.insert(names->Names.end(), AProducer.ParamsRead().begin(),
                      AProducer.ParamsRead().end());
  std::sort(names->Names.begin(), names->Names.end());
  names->Names.erase(std::unique(names->Names.begin(), names->Names.end()), names->Names.end());
  if (names->Names.size() > MaxParamsRead) return;
  if (names->Names.size() != before) {
    size_t bytes = sizeof(TParamNames);
    for (const std::string& name : names->Names) bytes += sizeof(name) + name.size();
    cache.Put<TParamNames>(NamesKey(request), names, bytes);
  }

  auto kept = std::make_shared<TKeptPage>();
  kept->Data = AData.Snapshot();
  kept->Templates = templates->Snapshot();
  kept->Page = APage;
  const size_t bytes = kept->Bytes();
  cache.Put<TKeptPage>(PageKey(request, *names, ARequest.Query), std::move(kept), bytes);
}

}  // namespace jw
