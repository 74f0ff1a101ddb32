#ifdef _WIN32
// JPEG files decoded with the system's imaging component, where no libjpeg is at hand.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include "JpegCheck.h"

namespace jwtest {

template <class T>
struct TCom {
  T* P = nullptr;
  ~TCom() {
    if (P) P->Release();
  }
  T* operator->() const { return P; }
  T** operator&() { return &P; }
};

std::string DecodeJpeg(const std::vector<uint8_t>& f, jw::TJWBitmap& p) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  HRESULT hr;
  {
    TCom<IWICImagingFactory> factory;
    TCom<IWICStream> stream;
    TCom<IWICBitmapDecoder> decoder;
    TCom<IWICBitmapFrameDecode> frame;
    TCom<IWICFormatConverter> converter;
    UINT w = 0, h = 0;
    hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                          IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
      hr = stream->InitializeFromMemory(const_cast<BYTE*>(f.data()), DWORD(f.size()));
    if (SUCCEEDED(hr))
      hr = factory->CreateDecoderFromStream(stream.P, nullptr, WICDecodeMetadataCacheOnDemand,
                                            &decoder);
    if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
      hr = converter->Initialize(frame.P, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                 nullptr, 0.0, WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr)) hr = converter->GetSize(&w, &h);
    if (SUCCEEDED(hr)) {
      p = {int32_t(w), int32_t(h), std::vector<uint32_t>(size_t(w) * h)};
      hr = converter->CopyPixels(nullptr, w * 4, UINT(p.Pixels.size() * 4),
                                 reinterpret_cast<BYTE*>(p.Pixels.data()));
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return SUCCEEDED(hr) ? "" : "decoding failed: " + std::to_string(unsigned(hr));
}

}  // namespace jwtest
#endif
