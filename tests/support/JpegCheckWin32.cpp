#ifdef _WIN32
// JPEG files read back with the system's imaging component, where no libjpeg is at hand.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include "JpegCheck.h"

namespace jwtest {

namespace {

template <class T>
struct TCom {
  T* P = nullptr;
  ~TCom() {
    if (P) P->Release();
  }
  T* operator->() const { return P; }
  T** operator&() { return &P; }
};

// Walks the marker segments up to the frame header: its kind and the number of components.
bool ReadFrameHeader(const std::vector<uint8_t>& f, TJpegInfo& info) {
  if (f.size() < 4 || f[0] != 0xFF || f[1] != 0xD8) return false;
  size_t i = 2;
  while (i + 4 <= f.size()) {
    if (f[i] != 0xFF) return false;
    const uint8_t marker = f[i + 1];
    const size_t length = size_t(f[i + 2]) << 8 | f[i + 3];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (i + 10 > f.size()) return false;
      info.Baseline = marker == 0xC0 && f[i + 4] == 8;
      info.Components = f[i + 9];
      return true;
    }
    i += 2 + length;
  }
  return false;
}

}  // namespace

TJpegInfo ReadJpeg(const std::vector<uint8_t>& f) {
  TJpegInfo info;
  if (!ReadFrameHeader(f, info)) {
    info.Error = "no frame header";
    return info;
  }
  const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  {
    TCom<IWICImagingFactory> factory;
    TCom<IWICStream> stream;
    TCom<IWICBitmapDecoder> decoder;
    TCom<IWICBitmapFrameDecode> frame;
    TCom<IWICFormatConverter> converter;
    UINT w = 0, h = 0;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
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
      info.Picture.Width = int32_t(w);
      info.Picture.Height = int32_t(h);
      info.Picture.Pixels.resize(size_t(w) * h);
      hr = converter->CopyPixels(nullptr, w * 4, UINT(info.Picture.Pixels.size() * 4),
                                 reinterpret_cast<BYTE*>(info.Picture.Pixels.data()));
    }
    info.Ok = SUCCEEDED(hr);
    if (!info.Ok) info.Error = "decoding failed: " + std::to_string(unsigned(hr));
    for (uint32_t& p : info.Picture.Pixels) p |= 0xFF000000u;
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return info;
}

}  // namespace jwtest
#endif
