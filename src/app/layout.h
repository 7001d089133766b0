#pragma once

// The window is laid out in twips (1440 to the inch) and shown in pixels. The
// conversion depends on the screen's dots per inch and is made at run time,
// so the window keeps its proportions on any screen.

namespace fendrix {

/// A rectangle in twips, from the top left corner of the client area.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

/// A rectangle in pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

/// Twips per screen pixel in each direction: 15 at 96 dots per inch.
struct TwipsPerPixel {
  float x = 15;
  float y = 15;
};

/// The twips per pixel of a screen with these dots per inch.
TwipsPerPixel TwipsPerPixelFor(int dpi_x, int dpi_y);

/// `twips` in pixels, to the nearest whole pixel, a half going to the even one.
int TwipsToPixels(double twips, float twips_per_pixel);

/// A twips rectangle in pixels; each edge and length is converted on its own.
PixelRect ToPixels(const TwipsRect& rect, const TwipsPerPixel& scale);

/// The character height of a font of `points` on a screen of `dpi`, negative
/// as a font request wants it (the cell without its internal leading).
int FontHeightPixels(double points, int dpi);

}  // namespace fendrix
