#include "cli/layout_png.h"

#include <cairo.h>

#include <algorithm>
#include <memory>

namespace fendrix {
namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t* context) const { cairo_destroy(context); }
};

// The background's pixels into the surface's, which are blue, green, red,
// unused in the machine's byte order.
void CopyBackground(const Image& background, cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const int width = std::min(background.width, cairo_image_surface_get_width(surface));
  const int height = std::min(background.height, cairo_image_surface_get_height(surface));
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    const std::uint8_t* in = background.Row(y);
    for (int x = 0; x < width; ++x, in += 3) {
      out[x] = std::uint32_t{in[2]} << 16 | std::uint32_t{in[1]} << 8 | in[0];
    }
  }
  cairo_surface_mark_dirty(surface);
}

// The outline in a colour that shows on most backgrounds (yellow for an
// element with findings), the name on a dark plate at the inner top left.
void DrawBox(cairo_t* cr, const LayoutBox& box) {
  if (box.flagged) {
    cairo_set_source_rgb(cr, 1.0, 0.85, 0.0);
  } else {
    cairo_set_source_rgb(cr, 1.0, 0.2, 0.6);
  }
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, box.left + 0.5, box.top + 0.5, std::max(0, box.width - 1),
                  std::max(0, box.height - 1));
  cairo_stroke(cr);

  cairo_text_extents_t extents;
  cairo_text_extents(cr, box.name.c_str(), &extents);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_rectangle(cr, box.left + 1, box.top + 1, extents.x_advance + 4, 14);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_move_to(cr, box.left + 3, box.top + 12);
  cairo_show_text(cr, box.name.c_str());
}

// The notes in white on a dark plate at the bottom left.
void DrawNotes(cairo_t* cr, const std::vector<std::string>& notes, int height) {
  if (notes.empty()) return;
  double widest = 0;
  for (const std::string& note : notes) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, note.c_str(), &extents);
    widest = std::max(widest, extents.x_advance);
  }
  const double top = height - static_cast<double>(notes.size()) * kNoteLineHeight - 4;
  cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
  cairo_rectangle(cr, 0, top, widest + 8, height - top);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  for (std::size_t i = 0; i < notes.size(); ++i) {
    cairo_move_to(cr, 4, top + 13 + static_cast<double>(i) * kNoteLineHeight);
    cairo_show_text(cr, notes[i].c_str());
  }
}

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool DrawLayoutPng(const LayoutDrawing& drawing, std::string* png, std::string* err) {
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, drawing.width, drawing.height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    *err = std::string("Bild kann nicht gezeichnet werden (") +
           cairo_status_to_string(cairo_surface_status(surface.get())) + ")";
    return false;
  }
  std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
  cairo_set_source_rgb(cr.get(), 0, 0, 0);
  cairo_paint(cr.get());
  CopyBackground(drawing.background, surface.get());
  cairo_select_font_face(cr.get(), "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr.get(), 11);
  for (const LayoutBox& box : drawing.boxes) DrawBox(cr.get(), box);
  DrawNotes(cr.get(), drawing.notes, drawing.height);
  cairo_surface_flush(surface.get());

  png->clear();
  const cairo_status_t status =
      cairo_surface_write_to_png_stream(surface.get(), AppendToString, png);
  if (status != CAIRO_STATUS_SUCCESS) {
    *err = std::string("PNG kann nicht erzeugt werden (") + cairo_status_to_string(status) + ")";
    return false;
  }
  return true;
}

}  // namespace fendrix
