// JPEG files through the system's Windows Imaging Component, so that the Windows library needs no
// JPEG library of its own. Same choices as the libjpeg encoder where the component offers them:
// quality 90 %, baseline, three components (YCbCr), chroma subsampled 2x2.
#include "store/JWJpegEncode.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <objbase.h>
#include <oleauto.h>
#include <wincodec.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "store/JWError.h"

namespace jw {

namespace {

// The limit libjpeg sets; kept so that both builds refuse the same pictures.
constexpr int32_t MaxDimension = 65500;

// Releases a COM interface at the end of a scope.
template <class T>
struct TComPtr {
  T* P = nullptr;
  ~TComPtr() {
    if (P) P->Release();
  }
  T* operator->() const { return P; }
  T** operator&() { return &P; }
};

void Check(HRESULT AResult, const char* AStep) {
  if (SUCCEEDED(AResult)) return;
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(AResult));
  throw EJWError(std::string("JPEG: ") + AStep + " failed (" + code + ")");
}

// COM for the calling thread for as long as the encoder runs. A host that already chose another
// apartment for the thread keeps it; COM is usable either way.
struct TComScope {
  bool Owned = false;
  TComScope() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (hr == RPC_E_CHANGED_MODE) return;
    Check(hr, "CoInitializeEx");
    Owned = true;  // S_FALSE too: every successful call is paired with CoUninitialize
  }
  ~TComScope() {
    if (Owned) CoUninitialize();
  }
};

// Sets one encoder option; options a WIC version does not know are left at its default.
void WriteOption(IPropertyBag2* ABag, const wchar_t* AName, VARIANT& AValue) {
  PROPBAG2 option{};
  option.pstrName = const_cast<LPOLESTR>(AName);
  ABag->Write(1, &option, &AValue);
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const TJWBitmap& APicture, int AQuality) {
  if (APicture.Empty()) throw EJWError("JPEG: empty picture");
  if (APicture.Width > MaxDimension || APicture.Height > MaxDimension ||
      APicture.Pixels.size() != size_t(APicture.Width) * size_t(APicture.Height))
    throw EJWError("JPEG: invalid picture");

  // 24-bit rows in B, G, R order, each padded to four bytes as the encoder expects.
  const UINT stride = (UINT(APicture.Width) * 3 + 3) & ~3u;
  std::vector<BYTE> pixels(size_t(stride) * size_t(APicture.Height));
  for (int32_t y = 0; y < APicture.Height; ++y) {
    const uint32_t* src = APicture.Pixels.data() + size_t(y) * size_t(APicture.Width);
    BYTE* dst = pixels.data() + size_t(y) * stride;
    for (int32_t x = 0; x < APicture.Width; ++x) {
      dst[3 * x] = BYTE(src[x]);
      dst[3 * x + 1] = BYTE(src[x] >> 8);
      dst[3 * x + 2] = BYTE(src[x] >> 16);
    }
  }

  TComScope com;
  TComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)),
        "creating the imaging factory");
  TComPtr<IStream> stream;
  Check(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "creating the output stream");
  TComPtr<IWICBitmapEncoder> encoder;
  Check(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder),
        "creating the encoder");
  Check(encoder->Initialize(stream.P, WICBitmapEncoderNoCache), "starting the encoder");
  TComPtr<IWICBitmapFrameEncode> frame;
  TComPtr<IPropertyBag2> options;
  Check(encoder->CreateNewFrame(&frame, &options), "creating the frame");

  VARIANT quality;
  VariantInit(&quality);
  quality.vt = VT_R4;
  quality.fltVal = float(AQuality) / 100.0f;
  WriteOption(options.P, L"ImageQuality", quality);
  VARIANT subsampling;
  VariantInit(&subsampling);
  subsampling.vt = VT_UI1;
  subsampling.bVal = WICJpegYCrCbSubsampling420;
  WriteOption(options.P, L"JpegYCrCbSubsampling", subsampling);

  Check(frame->Initialize(options.P), "preparing the frame");
  Check(frame->SetSize(UINT(APicture.Width), UINT(APicture.Height)), "setting the size");
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  Check(frame->SetPixelFormat(&format), "setting the pixel format");
  if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
    throw EJWError("JPEG: the encoder does not take 24-bit pixels");
  Check(frame->WritePixels(UINT(APicture.Height), stride, UINT(pixels.size()), pixels.data()),
        "writing the pixels");
  Check(frame->Commit(), "finishing the frame");
  Check(encoder->Commit(), "finishing the file");

  STATSTG stat{};
  Check(stream->Stat(&stat, STATFLAG_NONAME), "measuring the file");
  HGLOBAL memory = nullptr;
  Check(GetHGlobalFromStream(stream.P, &memory), "reading the file");
  const size_t size = size_t(stat.cbSize.QuadPart);
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  if (!bytes && size) throw EJWError("JPEG: reading the file failed");
  std::vector<uint8_t> result(bytes, bytes + size);
  GlobalUnlock(memory);
  return result;
}

}  // namespace jw
