// The template's pictures and the entry's logo as JPEG files for the host.
#include <vector>

#include "JWCallFrame.h"
#include "store/JWEEntryDatFile.h"
#include "store/JWELogoDatFile.h"
#include "store/JWETemplateDatFile.h"
#include "store/JWError.h"
#include "store/JWTemplateImages.h"

using namespace jw;

extern "C" {

JWLIB_EXPORT uint8_t JWAPI JW_GetTemplateImages(uint32_t AEntryId, uint32_t ATemplateId,
                                                JWHostList* AList) {
  return RunExport<uint8_t>(0, [&](TLibLockGuard&) -> uint8_t {
    if (AList == nullptr || AList->Add == nullptr) throw EJWError("List not assigned!");
    TJWELogoDatFile logos(DataFileName(LogoDatFileName));
    TJWEEntryDatFile entries(DataFileName(EntryDatFileName), &logos);
    TJWETemplateDatFile templates(DataFileName(TemplateDatFileName));

    TJW2DataRec entry;
    entries.LoadEntry(AEntryId, entry);
    TJWTemplateRec look;
    templates.GetTemplate(ATemplateId != 0 ? ATemplateId : uint32_t(entry.TemplateId), look);

    // Each item goes to the host as soon as it is made; on a later failure the host keeps the
    // items it already has.
    TJWTemplateImages images;
    images.Build(look, entry.Logo.get(), [&](const char* AName, const std::vector<uint8_t>& AJpeg) {
      JWMemoryStream* stream = NewMemoryStream(AJpeg.data(), AJpeg.size());
      AList->Add(AList->Context, AName, stream);
    });
    entries.ReleaseEntry(entry);
    return 1;
  });
}

}  // extern "C"
