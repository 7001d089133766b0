#include "conversion/imaging/platform_decoders.h"

#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace fendrix {
namespace {

using Microsoft::WRL::ComPtr;

// COM on the calling thread for as long as one picture is decoded. A thread
// that is already in the other kind of apartment stays there; WIC works in
// both.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

bool Fail(HRESULT result, std::string* reason) {
  char text[48];
  std::snprintf(text, sizeof text, "beschädigt (Fehler 0x%08lX)",
                static_cast<unsigned long>(result));
  *reason = text;
  return false;
}

// Receives the size of frame 0 before its pixels; false refuses it.
using FrameStart =
    std::function<bool(std::int32_t width, std::int32_t height, std::string* reason)>;
// Receives each row of frame 0 as blue, green, red, alpha.
using FrameRow = std::function<void(std::int32_t y, const std::uint8_t* bgra)>;

// Decodes frame 0 of a picture in memory, a band of rows at a time so that a
// large picture needs no second full-size buffer.
bool ReadFrame(std::span<const std::uint8_t> data, const FrameStart& start, const FrameRow& row,
               std::string* reason) {
  ComScope com;  // first in, last out: every interface below is released before it
  ComPtr<IWICImagingFactory> factory;
  if (!com.usable() || FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                               CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)))) {
    *reason = "Windows-Bildkomponente nicht verfügbar";
    return false;
  }
  ComPtr<IWICStream> stream;
  HRESULT hr = factory->CreateStream(&stream);
  // WIC only reads through the stream; the cast is for its signature.
  if (SUCCEEDED(hr)) {
    hr = stream->InitializeFromMemory(const_cast<BYTE*>(data.data()),
                                      static_cast<DWORD>(data.size()));
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (SUCCEEDED(hr)) {
    hr = factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                          &decoder);
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
  UINT width = 0, height = 0;
  if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
  if (FAILED(hr)) return Fail(hr, reason);
  if (!ImageSizeAllowed(width, height)) {
    *reason = "zu groß: " + std::to_string(width) + " x " + std::to_string(height) + " Pixel";
    return false;
  }
  if (!start(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), reason)) {
    return false;
  }
  // Converting to 24 bits fails for palette pictures on some systems; 32 bits works for all.
  ComPtr<IWICFormatConverter> converter;
  hr = factory->CreateFormatConverter(&converter);
  if (SUCCEEDED(hr)) {
    hr = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                               nullptr, 0.0, WICBitmapPaletteTypeCustom);
  }
  if (FAILED(hr)) return Fail(hr, reason);
  const UINT stride = width * 4;
  const UINT band = std::max<UINT>(1, (1u << 20) / stride);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(stride) * std::min(band, height));
  for (UINT top = 0; top < height; top += band) {
    const UINT rows = std::min(band, height - top);
    const WICRect rect = {0, static_cast<INT>(top), static_cast<INT>(width),
                          static_cast<INT>(rows)};
    hr = converter->CopyPixels(&rect, stride, stride * rows, buffer.data());
    if (FAILED(hr)) return Fail(hr, reason);
    for (UINT r = 0; r < rows; ++r)
      row(static_cast<std::int32_t>(top + r), buffer.data() + r * stride);
  }
  return true;
}

}  // namespace

bool DecodeJpeg(std::span<const std::uint8_t> data, Image* image, std::string* reason) {
  Image decoded;
  auto start = [&](std::int32_t width, std::int32_t height, std::string*) {
    decoded.width = width;
    decoded.height = height;
    decoded.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    return true;
  };
  auto row = [&](std::int32_t y, const std::uint8_t* bgra) {
    std::uint8_t* d = decoded.Row(y);
    for (std::int32_t x = 0; x < decoded.width; ++x, d += 3, bgra += 4) std::memcpy(d, bgra, 3);
  };
  if (!ReadFrame(data, start, row, reason)) return false;
  *image = std::move(decoded);
  return true;
}

bool DecodeGif(std::span<const std::uint8_t> data, const GifPlacement& placement, Image* image,
               std::string* reason) {
  Image canvas;
  auto start = [&](std::int32_t width, std::int32_t height, std::string* why) {
    if (width != placement.frame_width || height != placement.frame_height) {
      *why = "beschädigt";
      return false;
    }
    canvas = MakeGifCanvas(placement);
    return true;
  };
  // The transparent colour comes out with alpha 0 and leaves the background.
  auto row = [&](std::int32_t y, const std::uint8_t* bgra) {
    std::uint8_t* d = canvas.Row(placement.frame_top + y) + placement.frame_left * 3;
    for (std::int32_t x = 0; x < placement.frame_width; ++x, d += 3, bgra += 4) {
      if (bgra[3] != 0) std::memcpy(d, bgra, 3);
    }
  };
  if (!ReadFrame(data, start, row, reason)) return false;
  *image = std::move(canvas);
  return true;
}

}  // namespace fendrix
