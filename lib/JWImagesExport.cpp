// The template's pictures and the entry's logo as JPEG files for the host.
#include <vector>

#include "JWCallFrame.h"
#include "store/JWError.h"
#include "store/JWTemplateImages.h"

using namespace jw;

extern "C" {

JWLIB_EXPORT uint8_t JWAPI JW_GetTemplateImages(uint32_t AEntryId, uint32_t ATemplateId,
                                                JWHostList* AList) {
  return RunExport<uint8_t>(0, [&](TLibLockGuard&) -> uint8_t {
    if (AList == nullptr || AList->Add == nullptr) throw EJWError("List not assigned!");
    const TJWDataDirectory::TCall files = UseDataDirectory();
    TJW2DataRec entry;
    files->LoadEntry(AEntryId, entry);
    // Shared pictures, decoded once per version of the file: the host routine called below may
    // call the library again, and nothing here depends on the readers after this point.
    const std::shared_ptr<const TJWTemplatePictures> look =
        files->Templates().GetPictures(ATemplateId != 0 ? ATemplateId : uint32_t(entry.TemplateId));
    const std::shared_ptr<const TJWBitmap> logo = entry.Logo;

    // Each item goes to the host as soon as it is made; on a later failure the host keeps the
    // items it already has.
    TJWTemplateImages images;
    images.Build(*look, logo.get(), [&](const char* AName, const std::vector<uint8_t>& AJpeg) {
      JWMemoryStream* stream = NewMemoryStream(AJpeg.data(), AJpeg.size());
      AList->Add(AList->Context, AName, stream);
    });
    return 1;
  });
}

}  // extern "C"
