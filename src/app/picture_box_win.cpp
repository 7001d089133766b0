#include "app/picture_box.h"

#include <cstdint>
#include <vector>

namespace fendrix {
namespace {

constexpr wchar_t kClassName[] = L"FendrixPictureBox";

// The memory picture behind a box, as large as the box.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old_bitmap = nullptr;
  int width = 0;
  int height = 0;
};

Canvas* CanvasOf(HWND box) {
  return reinterpret_cast<Canvas*>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

void Fill(Canvas& canvas) {
  RECT all{0, 0, canvas.width, canvas.height};
  FillRect(canvas.dc, &all, GetSysColorBrush(COLOR_BTNFACE));
}

Canvas* MakeCanvas(HWND box, int width, int height) {
  auto* canvas = new Canvas{.width = width, .height = height};
  HDC screen = GetDC(box);
  canvas->dc = CreateCompatibleDC(screen);
  canvas->bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(box, screen);
  canvas->old_bitmap = SelectObject(canvas->dc, canvas->bitmap);
  Fill(*canvas);
  return canvas;
}

void DestroyCanvas(Canvas* canvas) {
  SelectObject(canvas->dc, canvas->old_bitmap);
  DeleteObject(canvas->bitmap);
  DeleteDC(canvas->dc);
  delete canvas;
}

void PaintFrom(const Canvas& canvas, HDC target) {
  BitBlt(target, 0, 0, canvas.width, canvas.height, canvas.dc, 0, 0, SRCCOPY);
}

LRESULT CALLBACK PictureBoxProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(box, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(MakeCanvas(box, create->cx, create->cy)));
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the canvas covers the whole box
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(box, &paint);
      PaintFrom(*CanvasOf(box), dc);
      EndPaint(box, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintFrom(*CanvasOf(box), reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_NCDESTROY:
      if (Canvas* canvas = CanvasOf(box)) DestroyCanvas(canvas);
      SetWindowLongPtrW(box, GWLP_USERDATA, 0);
      return 0;
  }
  return DefWindowProcW(box, message, wparam, lparam);
}

void RegisterPictureBoxClass() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = PictureBoxProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
}

// GDI wants rows of whole 32-bit words; four bytes a pixel need no padding.
std::vector<std::uint8_t> ToBgrx(const Image& image) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(image.width) * image.height * 4);
  std::uint8_t* out = pixels.data();
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* in = image.Row(y);
    for (std::int32_t x = 0; x < image.width; ++x, in += 3, out += 4) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      out[3] = 0;
    }
  }
  return pixels;
}

}  // namespace

HWND CreatePictureBox(const PictureBoxArgs& args) {
  RegisterPictureBoxClass();
  return CreateWindowExW(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE, args.rect.left,
                         args.rect.top, args.rect.width, args.rect.height, args.parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                         GetModuleHandleW(nullptr), nullptr);
}

void ClearPictureBox(HWND box) {
  Fill(*CanvasOf(box));
  InvalidateRect(box, nullptr, FALSE);
}

void DrawIntoPictureBox(HWND box, const Image& image, const PixelRect& target) {
  Canvas& canvas = *CanvasOf(box);
  std::vector<std::uint8_t> pixels = ToBgrx(image);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // A shrunk preview reads better averaged than with rows and columns dropped.
  SetStretchBltMode(canvas.dc, HALFTONE);
  SetBrushOrgEx(canvas.dc, 0, 0, nullptr);
  StretchDIBits(canvas.dc, target.left, target.top, target.width, target.height, 0, 0, image.width,
                image.height, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  InvalidateRect(box, nullptr, FALSE);
}

}  // namespace fendrix
