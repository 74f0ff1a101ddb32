// The HTML text of one page of an entry.
#include <string>

#include "JWCallFrame.h"
#include "html/JWHTMLProducer.h"
#include "html/JWPageCache.h"
#include "store/JWEButtons.h"

using namespace jw;

extern "C" {

JWLIB_EXPORT JWMemoryStream* JWAPI JW_GetHTMLText(uint32_t AEntryId, const char* AIncludePath,
                                                  uint32_t APageIndex, const char* AParams,
                                                  uint8_t AShowLocation, uint8_t AForceLocation) {
  return RunExport<JWMemoryStream*>(nullptr, [&](TLibLockGuard&) -> JWMemoryStream* {
    JWMemoryStream* stream = nullptr;
    try {
      const std::string includePath = AIncludePath ? AIncludePath : "";
      const std::string params = AParams ? AParams : "";
      const TJWPageRequest request{DataPath(),         includePath, params,
                                   AEntryId,           APageIndex,  AShowLocation != 0,
                                   AForceLocation != 0};
      // A host asks for the same pages again and again: one check of the files they came from.
      if (const auto kept = TJWPageCache::Find(request)) return NewMemoryStream(*kept);

      // The page choice follows the buttons the host sees for the same flags.
      const TJWDataDirectory::TCall files = UseDataDirectory();
      const TEntryButtons buttons =
          LoadEntryButtons(*files, AEntryId, AShowLocation, AForceLocation);

      TJWHTMLProducer producer;
      producer.SetShowPoPButton(AShowLocation != 0);
      producer.SetPendixInstalled(AForceLocation != 0);
      producer.SetFilepath(DataPath());
      producer.OpenDataFiles(files.Shared());
      producer.SetQueryParams(params);
      producer.SetIncludePath(includePath);
      // The template folder too is resolved now, once for the whole call.
      producer.Engine().IncludeFolder();
      producer.SetJW2ID(static_cast<int32_t>(AEntryId));

      stream = NewMemoryStream(std::string());
      std::string page;
      producer.WritePage(&page, Index2JWButton(APageIndex, buttons.Set));
      if (const auto data = files->View()) TJWPageCache::Put(request, producer, *data, page);
      JWMemoryStream* full = NewMemoryStream(page);
      FreeMemoryStream(stream);
      stream = full;
    } catch (...) {
      try {
        LogCurrentFailure(Format(
            "JW_GetHTMLText( %d, \"%s\", %d, \"%s\", %d, %d ): ", static_cast<int32_t>(AEntryId),
            AIncludePath ? AIncludePath : "", static_cast<int32_t>(APageIndex),
            AParams ? AParams : "", AShowLocation, AForceLocation));
      } catch (...) {
        // The log could not be written: that failure goes to the host, the stream must not leak.
        FreeMemoryStream(stream);
        throw;
      }
    }
    return stream;
  });
}

}  // extern "C"
