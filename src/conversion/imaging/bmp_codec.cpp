#include "conversion/imaging/bmp_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace fendrix {
namespace {

constexpr char kTruncated[] = "abgeschnitten";
constexpr char kUnsupported[] = "nicht unterstützte BMP-Variante";
constexpr char kBadIndex[] = "Palettenindex außerhalb der Palette";

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

constexpr std::size_t kFileHeaderSize = 14;

std::uint32_t U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool Fail(std::string* reason, std::string text) {
  *reason = std::move(text);
  return false;
}

// One colour channel of a 16- or 32-bit pixel. Narrow channels are widened
// by repeating their bits (5 bits abcde give abcdeabc), as the platform's
// imaging component and the common image tools widen them.
class Channel {
 public:
  // False for a mask whose bits are not contiguous.
  bool Init(std::uint32_t mask) {
    mask_ = mask;
    if (mask == 0) return true;
    shift_ = std::countr_zero(mask);
    bits_ = std::popcount(mask);
    if ((mask >> shift_) != (bits_ == 32 ? 0xFFFFFFFFu : (1u << bits_) - 1)) return false;
    if (bits_ < 8) {
      std::uint32_t max = (1u << bits_) - 1;
      for (std::uint32_t v = 0; v <= max; ++v) {
        std::uint32_t wide = 0;
        for (int at = 8 - bits_; at > -bits_; at -= bits_) wide |= at >= 0 ? v << at : v >> -at;
        widen_[v] = static_cast<std::uint8_t>(wide);
      }
    }
    return true;
  }
  std::uint8_t Get(std::uint32_t pixel) const {
    if (mask_ == 0) return 0;
    std::uint32_t v = (pixel & mask_) >> shift_;
    return bits_ >= 8 ? static_cast<std::uint8_t>(v >> (bits_ - 8)) : widen_[v];
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  int bits_ = 0;
  std::array<std::uint8_t, 128> widen_{};
};

// What the headers say, checked against the file.
struct Layout {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool top_down = false;
  int bits = 0;
  std::uint32_t compression = kBiRgb;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
  std::size_t pixel_offset = 0;
  std::vector<std::uint8_t> palette;  // 3 bytes B, G, R per entry
  int palette_count = 0;
};

// The size as the info header (or the older core header of 12 bytes) gives
// it; a negative height for rows stored top-down.
void ReadStoredSize(const std::uint8_t* h, bool core, std::int64_t* width, std::int64_t* height) {
  if (core) {
    *width = U16(h + 4);
    *height = U16(h + 6);
  } else {
    *width = static_cast<std::int32_t>(U32(h + 4));
    *height = static_cast<std::int32_t>(U32(h + 8));
  }
}

// The size, depth and compression of the picture from its header.
bool ReadFormat(const std::uint8_t* h, bool core, Layout* layout, std::string* reason) {
  std::int64_t width, height;
  ReadStoredSize(h, core, &width, &height);
  if (core) {
    layout->bits = static_cast<int>(U16(h + 10));
  } else {
    layout->bits = static_cast<int>(U16(h + 14));
    layout->compression = U32(h + 16);
  }
  layout->top_down = height < 0;
  height = height < 0 ? -height : height;
  if (width < 1 || height < 1) {
    return Fail(reason, "ungültige Bildgröße: " + std::to_string(width) + " x " +
                            std::to_string(height) + " Pixel");
  }
  if (!ImageSizeAllowed(width, height)) {
    return Fail(reason,
                "zu groß: " + std::to_string(width) + " x " + std::to_string(height) + " Pixel");
  }
  layout->width = static_cast<std::int32_t>(width);
  layout->height = static_cast<std::int32_t>(height);

  const int bits = layout->bits;
  const std::uint32_t compression = layout->compression;
  const bool valid = (compression == kBiRgb && (bits == 1 || bits == 4 || bits == 8 || bits == 24 ||
                                                (!core && (bits == 16 || bits == 32)))) ||
                     (compression == kBiRle8 && bits == 8) ||
                     (compression == kBiRle4 && bits == 4) ||
                     (compression == kBiBitfields && (bits == 16 || bits == 32));
  return valid || Fail(reason, kUnsupported);
}

// The colour masks of a 16- or 32-bit picture; `*offset` moves past masks
// stored behind the header.
bool ReadMasks(std::span<const std::uint8_t> data, std::uint32_t header_size, Layout* layout,
               std::size_t* offset, std::string* reason) {
  if (layout->compression == kBiBitfields) {
    // A plain info header carries its masks behind it, the later headers inside.
    const std::uint8_t* m = data.data() + kFileHeaderSize + 40;
    if (header_size == 40) {
      if (data.size() < *offset + 12) return Fail(reason, kTruncated);
      m = data.data() + *offset;
      *offset += 12;
    }
    layout->masks = {U32(m), U32(m + 4), U32(m + 8)};
  } else if (layout->bits == 16) {
    layout->masks = {0x7C00, 0x03E0, 0x001F};
  } else if (layout->bits == 32) {
    layout->masks = {0xFF0000, 0xFF00, 0xFF};
  }
  return true;
}

// The palette of a picture of up to 8 bits, which starts at `*offset`; moves
// `*offset` past it.
void ReadPalette(std::span<const std::uint8_t> data, bool core, std::uint32_t offset_field,
                 Layout* layout, std::size_t* offset) {
  const std::uint8_t* h = data.data() + kFileHeaderSize;
  std::size_t entry = core ? 3 : 4;
  std::uint32_t used = core ? 0 : U32(h + 32);
  std::size_t count = std::size_t{1} << layout->bits;
  if (used != 0 && used < count) count = used;
  // Palettes reaching into the pixels or past the end are cut to what is there.
  std::size_t palette_end =
      offset_field > *offset ? std::min<std::size_t>(offset_field, data.size()) : data.size();
  count = std::min(count, (palette_end - *offset) / entry);
  layout->palette_count = static_cast<int>(count);
  layout->palette.resize(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    std::memcpy(&layout->palette[i * 3], data.data() + *offset + i * entry, 3);
  }
  *offset += count * entry;
}

bool ReadLayout(std::span<const std::uint8_t> data, Layout* layout, std::string* reason) {
  if (data.size() < kFileHeaderSize + 4) return Fail(reason, kTruncated);
  const std::uint8_t* p = data.data();
  std::uint32_t header_size = U32(p + 14);
  bool core = header_size == 12;
  if (!core && header_size != 40 && header_size != 52 && header_size != 56 && header_size != 108 &&
      header_size != 124) {
    return Fail(reason, kUnsupported);
  }
  if (data.size() < kFileHeaderSize + header_size) return Fail(reason, kTruncated);
  if (!ReadFormat(p + kFileHeaderSize, core, layout, reason)) return false;

  std::size_t offset = kFileHeaderSize + header_size;
  if (!ReadMasks(data, header_size, layout, &offset, reason)) return false;
  std::uint32_t offset_field = U32(p + 10);
  if (offset_field != 0 && offset_field < offset) return Fail(reason, "beschädigt");
  if (layout->bits <= 8) ReadPalette(data, core, offset_field, layout, &offset);
  layout->pixel_offset = offset_field != 0 ? offset_field : offset;
  if (layout->pixel_offset > data.size()) return Fail(reason, kTruncated);
  return true;
}

// The image row that the `stored`-th row of the file fills.
std::int32_t TargetRow(const Layout& layout, std::int64_t stored) {
  return layout.top_down ? static_cast<std::int32_t>(stored)
                         : layout.height - 1 - static_cast<std::int32_t>(stored);
}

// The bytes from one stored row to the next: rows are padded to 4 bytes.
std::size_t RowStride(const Layout& layout) {
  return static_cast<std::size_t>((static_cast<std::int64_t>(layout.width) * layout.bits + 31) /
                                  32 * 4);
}

// True when the file holds every stored row. The last row needs no padding:
// some writers leave it off.
bool HasAllRows(std::span<const std::uint8_t> data, const Layout& layout) {
  const auto last_row =
      static_cast<std::uint64_t>((static_cast<std::int64_t>(layout.width) * layout.bits + 7) / 8);
  const std::uint64_t needed =
      static_cast<std::uint64_t>(RowStride(layout)) * (layout.height - 1) + last_row;
  return data.size() - layout.pixel_offset >= needed;
}

// Fills the image row `d` from `width` pixels of `kBytes` bytes each, whose
// channels the masks pick out.
template <int kBytes>
void DecodeMaskedRow(const std::array<Channel, 3>& channels, std::int64_t width,
                     const std::uint8_t* s, std::uint8_t* d) {
  for (std::int64_t x = 0; x < width; ++x, s += kBytes, d += 3) {
    const std::uint32_t v = kBytes == 4 ? U32(s) : U16(s);
    d[0] = channels[0].Get(v);
    d[1] = channels[1].Get(v);
    d[2] = channels[2].Get(v);
  }
}

// Fills the image row `d` from the stored row `s` of an uncompressed
// picture. False for a palette index past the palette.
bool DecodeRow(const Layout& layout, const std::array<Channel, 3>& channels, bool plain32,
               const std::uint8_t* s, std::uint8_t* d) {
  const std::int64_t width = layout.width;
  switch (layout.bits) {
    case 24:
      std::memcpy(d, s, static_cast<std::size_t>(width) * 3);
      return true;
    case 32:
      if (plain32) {
        for (std::int64_t x = 0; x < width; ++x, s += 4, d += 3) std::memcpy(d, s, 3);
        return true;
      }
      DecodeMaskedRow<4>(channels, width, s, d);
      return true;
    case 16:
      DecodeMaskedRow<2>(channels, width, s, d);
      return true;
  }
  // 1, 4 or 8 bits per palette index, the leftmost pixel in the high bits.
  const int bits = layout.bits;
  const unsigned mask = (1u << bits) - 1;
  for (std::int64_t x = 0; x < width; ++x, d += 3) {
    std::int64_t bit = x * bits;
    int index = (s[bit >> 3] >> (8 - bits - (bit & 7))) & mask;
    if (index >= layout.palette_count) return false;
    std::memcpy(d, layout.palette.data() + index * 3, 3);
  }
  return true;
}

bool DecodeRows(std::span<const std::uint8_t> data, const Layout& layout, Image* image,
                std::string* reason) {
  if (!HasAllRows(data, layout)) return Fail(reason, kTruncated);
  std::array<Channel, 3> channels;  // blue, green, red
  const bool plain32 =
      layout.bits == 32 && layout.masks == std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
  if (layout.bits == 16 || (layout.bits == 32 && !plain32)) {
    for (int c = 0; c < 3; ++c) {
      if (!channels[c].Init(layout.masks[2 - c])) return Fail(reason, "ungültige Bitfelder");
    }
  }
  const std::size_t stride = RowStride(layout);
  for (std::int32_t stored = 0; stored < layout.height; ++stored) {
    if (!DecodeRow(layout, channels, plain32, data.data() + layout.pixel_offset + stored * stride,
                   image->Row(TargetRow(layout, stored)))) {
      return Fail(reason, kBadIndex);
    }
  }
  return true;
}

// Pixels an RLE stream skips keep the first palette colour, as in a freshly
// made bitmap of that palette.
void FillWithFirstColour(const Layout& layout, Image* image) {
  std::array<std::uint8_t, 3> fill{};
  if (layout.palette_count > 0) std::memcpy(fill.data(), layout.palette.data(), 3);
  for (std::size_t i = 0; i < image->pixels.size(); i += 3)
    std::memcpy(&image->pixels[i], fill.data(), 3);
}

bool DecodeRle(std::span<const std::uint8_t> data, const Layout& layout, Image* image,
               std::string* reason) {
  FillWithFirstColour(layout, image);
  const bool rle4 = layout.compression == kBiRle4;
  const std::uint8_t* palette = layout.palette.data();
  const std::int64_t width = layout.width, height = layout.height;
  const std::uint8_t* p = data.data() + layout.pixel_offset;
  const std::uint8_t* end = data.data() + data.size();
  std::int64_t x = 0, y = 0;

  // Writes `count` pixels at the cursor; index(i) gives the i-th palette index.
  // Pixels past the row's end are dropped, as the platform's loader drops
  // them: some writers code every row to its padded length.
  auto put = [&](std::int64_t count, auto index) {
    const std::int64_t shown = std::clamp<std::int64_t>(width - x, 0, count);
    std::uint8_t* d = image->Row(TargetRow(layout, y)) + std::min(x, width) * 3;
    for (std::int64_t i = 0; i < shown; ++i, d += 3) {
      int v = index(i);
      if (v >= layout.palette_count) return Fail(reason, kBadIndex);
      std::memcpy(d, palette + v * 3, 3);
    }
    x += count;
    return true;
  };

  // A run or a delta beyond the last row ends the picture, as on the platform.
  while (true) {
    if (end - p < 2) return y >= height ? true : Fail(reason, kTruncated);
    int first = p[0], second = p[1];
    p += 2;
    if (first == 0 && second == 0) {
      x = 0;
      ++y;
      continue;
    }
    if (first == 0 && second == 1) return true;
    if (y >= height) return true;
    if (first > 0) {
      bool ok = rle4 ? put(first, [&](std::int64_t i) { return i % 2 ? second & 15 : second >> 4; })
                     : put(first, [&](std::int64_t) { return second; });
      if (!ok) return false;
    } else if (second == 2) {
      if (end - p < 2) return Fail(reason, kTruncated);
      x += p[0];
      y += p[1];
      p += 2;
    } else {
      std::int64_t bytes = rle4 ? (second + 1) / 2 : second;
      bytes += bytes & 1;  // absolute runs end on a 16-bit boundary
      if (end - p < bytes) return Fail(reason, kTruncated);
      const std::uint8_t* run = p;
      bool ok = rle4
                    ? put(second,
                          [&](std::int64_t i) { return i % 2 ? run[i / 2] & 15 : run[i / 2] >> 4; })
                    : put(second, [&](std::int64_t i) { return run[i]; });
      if (!ok) return false;
      p += bytes;
    }
  }
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> data, Image* image, std::string* reason) {
  if (data.size() < 2 || data[0] != 'B' || data[1] != 'M')
    return Fail(reason, "unbekanntes Bildformat");
  Layout layout;
  if (!ReadLayout(data, &layout, reason)) return false;
  Image decoded;
  decoded.width = layout.width;
  decoded.height = layout.height;
  decoded.pixels.resize(static_cast<std::size_t>(layout.width) * layout.height * 3);
  bool rle = layout.compression == kBiRle4 || layout.compression == kBiRle8;
  if (!(rle ? DecodeRle(data, layout, &decoded, reason)
            : DecodeRows(data, layout, &decoded, reason))) {
    return false;
  }
  *image = std::move(decoded);
  return true;
}

bool ReadBmpSize(std::span<const std::uint8_t> head, std::int64_t* width, std::int64_t* height) {
  if (head.size() < kBmpSizeBytes || head[0] != 'B' || head[1] != 'M') return false;
  const std::uint8_t* h = head.data() + kFileHeaderSize;
  ReadStoredSize(h, U32(h) == 12, width, height);
  if (*height < 0) *height = -*height;
  return true;
}

bool FindBmp24Rows(std::span<const std::uint8_t> data, PixelRows* rows) {
  Layout layout;
  std::string ignored;
  if (data.size() < 2 || data[0] != 'B' || data[1] != 'M' || !ReadLayout(data, &layout, &ignored) ||
      layout.bits != 24 || layout.compression != kBiRgb) {
    return false;
  }
  if (!HasAllRows(data, layout)) return false;
  const std::uint8_t* first = data.data() + layout.pixel_offset;
  const auto step = static_cast<std::ptrdiff_t>(RowStride(layout));
  *rows = layout.top_down
              ? PixelRows{first, step, layout.width, layout.height}
              : PixelRows{first + step * (layout.height - 1), -step, layout.width, layout.height};
  return true;
}

}  // namespace fendrix
