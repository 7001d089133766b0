#include "cli/layout_png.h"

#include <objidl.h>
#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "support/code_page.h"

namespace fendrix {
namespace {

using Microsoft::WRL::ComPtr;

// A 32-bit top-down picture that GDI draws into and the program reads.
class DrawingSurface {
 public:
  DrawingSurface(std::int32_t width, std::int32_t height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~DrawingSurface() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  DrawingSurface(const DrawingSurface&) = delete;
  DrawingSurface& operator=(const DrawingSurface&) = delete;

  bool usable() const { return old_ != nullptr; }
  HDC dc() const { return dc_; }
  // Blue, green, red, unused: the DIB's own order.
  std::uint8_t* Row(std::int32_t y) const {
    return static_cast<std::uint8_t*>(bits_) + static_cast<std::size_t>(y) * width_ * 4;
  }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }

 private:
  std::int32_t width_;
  std::int32_t height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

void CopyBackground(const Image& background, const DrawingSurface& surface) {
  const std::int32_t width = std::min(background.width, surface.width());
  const std::int32_t height = std::min(background.height, surface.height());
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* out = surface.Row(y);
    const std::uint8_t* in = background.Row(y);
    for (std::int32_t x = 0; x < width; ++x, in += 3, out += 4) std::memcpy(out, in, 3);
  }
}

// The outline in a colour that shows on most backgrounds (yellow for an
// element with findings), the name in white on black at the inner top left,
// and the notes the same way at the bottom left.
void DrawBoxes(const LayoutDrawing& drawing, HDC dc) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 51, 153));
  HPEN flagged_pen = CreatePen(PS_SOLID, 1, RGB(255, 217, 0));
  HFONT font =
      CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
  HGDIOBJ old_pen = SelectObject(dc, pen);
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  HGDIOBJ old_font = SelectObject(dc, font);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 0, 0));
  SetTextColor(dc, RGB(255, 255, 255));
  for (const LayoutBox& box : drawing.boxes) {
    SelectObject(dc, box.flagged ? flagged_pen : pen);
    Rectangle(dc, box.left, box.top, box.left + box.width, box.top + box.height);
    const std::wstring name = Utf8ToWide(box.name);
    TextOutW(dc, box.left + 2, box.top + 2, name.c_str(), static_cast<int>(name.size()));
  }
  const auto lines = static_cast<std::int32_t>(drawing.notes.size());
  for (std::int32_t i = 0; i < lines; ++i) {
    const std::wstring note = Utf8ToWide(drawing.notes[i]);
    TextOutW(dc, 4, drawing.height - 2 - (lines - i) * kNoteLineHeight, note.c_str(),
             static_cast<int>(note.size()));
  }
  SelectObject(dc, old_font);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  DeleteObject(font);
  DeleteObject(flagged_pen);
  DeleteObject(pen);
}

bool Fail(const char* what, HRESULT result, std::string* err) {
  char text[96];
  std::snprintf(text, sizeof text, "PNG kann nicht erzeugt werden (%s, Fehler 0x%08lX)", what,
                static_cast<unsigned long>(result));
  *err = text;
  return false;
}

// The surface as 24-bit rows, the format the platform's PNG encoder takes.
std::vector<std::uint8_t> Rows24(const DrawingSurface& surface, UINT* stride) {
  *stride = (static_cast<UINT>(surface.width()) * 3 + 3) & ~3u;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(*stride) * surface.height());
  for (std::int32_t y = 0; y < surface.height(); ++y) {
    const std::uint8_t* in = surface.Row(y);
    std::uint8_t* out = rows.data() + static_cast<std::size_t>(y) * *stride;
    for (std::int32_t x = 0; x < surface.width(); ++x) std::memcpy(out + 3 * x, in + 4 * x, 3);
  }
  return rows;
}

bool EncodePng(const DrawingSurface& surface, std::string* png, std::string* err) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct ComEnd {
    HRESULT result;
    ~ComEnd() {
      if (SUCCEEDED(result)) CoUninitialize();
    }
  } com_end{com};
  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory));
  if (FAILED(hr)) return Fail("Windows-Bildkomponente", hr, err);
  ComPtr<IStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  UINT stride = 0;
  std::vector<std::uint8_t> rows = Rows24(surface, &stride);
  if (FAILED(hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
      FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
      FAILED(hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(hr = encoder->CreateNewFrame(&frame, nullptr)) ||
      FAILED(hr = frame->Initialize(nullptr)) ||
      FAILED(hr = frame->SetSize(surface.width(), surface.height())) ||
      FAILED(hr = frame->SetPixelFormat(&format)) ||
      !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) ||
      FAILED(hr = frame->WritePixels(surface.height(), stride, static_cast<UINT>(rows.size()),
                                     rows.data())) ||
      FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit())) {
    return Fail("Kodierer", hr, err);
  }
  HGLOBAL memory = nullptr;
  if (FAILED(hr = GetHGlobalFromStream(stream.Get(), &memory))) return Fail("Speicher", hr, err);
  STATSTG stat{};
  if (FAILED(hr = stream->Stat(&stat, STATFLAG_NONAME))) return Fail("Speicher", hr, err);
  const auto* bytes = static_cast<const char*>(GlobalLock(memory));
  png->assign(bytes, static_cast<std::size_t>(stat.cbSize.QuadPart));
  GlobalUnlock(memory);
  return true;
}

}  // namespace

bool DrawLayoutPng(const LayoutDrawing& drawing, std::string* png, std::string* err) {
  DrawingSurface surface(drawing.width, drawing.height);
  if (!surface.usable()) {
    *err = "Bild kann nicht gezeichnet werden (zu wenig Speicher für " +
           std::to_string(drawing.width) + " x " + std::to_string(drawing.height) + " Pixel)";
    return false;
  }
  // A new DIB section is zeroed: black.
  CopyBackground(drawing.background, surface);
  DrawBoxes(drawing, surface.dc());
  GdiFlush();
  return EncodePng(surface, png, err);
}

}  // namespace fendrix
