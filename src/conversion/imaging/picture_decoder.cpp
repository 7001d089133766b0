#include "conversion/imaging/picture_decoder.h"

#include <algorithm>
#include <cstring>

#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/platform_decoders.h"

namespace fendrix {
namespace {

constexpr char kTruncated[] = "abgeschnitten";
constexpr char kDamaged[] = "beschädigt";

bool Fail(std::string* reason, std::string text) {
  *reason = std::move(text);
  return false;
}

std::string TooLarge(std::int64_t width, std::int64_t height) {
  return "zu groß: " + std::to_string(width) + " x " + std::to_string(height) + " Pixel";
}

bool StartsWith(std::span<const std::uint8_t> data, const char* prefix) {
  std::size_t n = std::strlen(prefix);
  return data.size() >= n && std::memcmp(data.data(), prefix, n) == 0;
}

std::uint32_t U16Big(const std::uint8_t* p) { return (p[0] << 8) | p[1]; }
std::uint32_t U16Little(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

// Walks the markers of a JPEG to its end marker and checks the frame size.
// libjpeg and the Windows decoder both paint a cut-off file grey to the
// bottom instead of failing, and the Windows one allocates before it could be
// asked for the size; this walk makes both refuse such files alike.
bool CheckJpeg(std::span<const std::uint8_t> data, std::string* reason) {
  const std::size_t size = data.size();
  std::size_t pos = 2;
  bool have_frame = false;
  while (true) {
    while (pos < size && data[pos] != 0xFF) ++pos;  // stray bytes between segments
    while (pos < size && data[pos] == 0xFF) ++pos;  // fill bytes
    if (pos >= size) return Fail(reason, kTruncated);
    const std::uint8_t marker = data[pos++];
    if (marker == 0xD9) return have_frame ? true : Fail(reason, kDamaged);
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (size - pos < 2) return Fail(reason, kTruncated);
    const std::size_t length = U16Big(&data[pos]);
    if (length < 2) return Fail(reason, kDamaged);
    if (size - pos < length) return Fail(reason, kTruncated);
    const bool frame_header =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame_header) {
      if (length < 7) return Fail(reason, kDamaged);
      const std::uint32_t height = U16Big(&data[pos + 3]), width = U16Big(&data[pos + 5]);
      if (width == 0 || height == 0) return Fail(reason, kDamaged);
      if (!ImageSizeAllowed(width, height)) return Fail(reason, TooLarge(width, height));
      have_frame = true;
    }
    pos += length;
    if (marker != 0xDA) continue;
    if (!have_frame) return Fail(reason, kDamaged);
    // Entropy-coded data runs to the next marker other than a restart.
    while (true) {
      while (pos < size && data[pos] != 0xFF) ++pos;
      if (size - pos < 2) return Fail(reason, kTruncated);
      const std::uint8_t next = data[pos + 1];
      if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) break;
      pos += 2;
    }
  }
}

// Steps over a chain of GIF data sub-blocks and its terminator.
bool SkipSubBlocks(std::span<const std::uint8_t> data, std::size_t* pos) {
  while (*pos < data.size()) {
    const std::size_t n = data[(*pos)++];
    if (n == 0) return true;
    if (data.size() - *pos < n) return false;
    *pos += n;
  }
  return false;
}

}  // namespace

bool DecodePicture(std::span<const std::uint8_t> data, Image* image, std::string* reason) {
  if (data.empty()) return Fail(reason, "leere Datei");
  if (StartsWith(data, "BM")) return DecodeBmp(data, image, reason);
  if (StartsWith(data, "\xFF\xD8"))
    return CheckJpeg(data, reason) && DecodeJpeg(data, image, reason);
  if (StartsWith(data, "GIF87a") || StartsWith(data, "GIF89a")) {
    GifPlacement placement;
    return ReadGifPlacement(data, &placement, reason) && DecodeGif(data, placement, image, reason);
  }
  return Fail(reason, "unbekanntes Bildformat");
}

bool ReadGifPlacement(std::span<const std::uint8_t> data, GifPlacement* placement,
                      std::string* reason) {
  constexpr std::size_t kScreenEnd = 13;
  if (data.size() < kScreenEnd) return Fail(reason, kTruncated);
  const std::uint8_t flags = data[10], background = data[11];
  std::size_t pos = kScreenEnd;
  GifPlacement found;
  if (flags & 0x80) {
    const std::size_t entries = std::size_t{2} << (flags & 7);
    if (data.size() - pos < entries * 3) return Fail(reason, kTruncated);
    if (background < entries) {
      const std::uint8_t* rgb = &data[pos + background * 3];
      found.background[0] = rgb[2];
      found.background[1] = rgb[1];
      found.background[2] = rgb[0];
    }
    pos += entries * 3;
  }
  while (true) {
    if (pos >= data.size()) return Fail(reason, kTruncated);
    const std::uint8_t introducer = data[pos++];
    if (introducer == 0x21) {  // extension: label, then sub-blocks
      if (pos >= data.size()) return Fail(reason, kTruncated);
      ++pos;
      if (!SkipSubBlocks(data, &pos)) return Fail(reason, kTruncated);
      continue;
    }
    if (introducer != 0x2C) return Fail(reason, kDamaged);  // no frame at all, or garbage
    if (data.size() - pos < 9) return Fail(reason, kTruncated);
    found.frame_left = static_cast<std::int32_t>(U16Little(&data[pos]));
    found.frame_top = static_cast<std::int32_t>(U16Little(&data[pos + 2]));
    found.frame_width = static_cast<std::int32_t>(U16Little(&data[pos + 4]));
    found.frame_height = static_cast<std::int32_t>(U16Little(&data[pos + 6]));
    const std::uint8_t frame_flags = data[pos + 8];
    pos += 9;
    if (frame_flags & 0x80) pos += (std::size_t{2} << (frame_flags & 7)) * 3;
    ++pos;  // the LZW code size
    if (pos > data.size() || !SkipSubBlocks(data, &pos)) return Fail(reason, kTruncated);
    if (found.frame_width == 0 || found.frame_height == 0) return Fail(reason, kDamaged);
    const std::int64_t width =
        std::max<std::int64_t>(U16Little(&data[6]), found.frame_left + found.frame_width);
    const std::int64_t height =
        std::max<std::int64_t>(U16Little(&data[8]), found.frame_top + found.frame_height);
    if (!ImageSizeAllowed(width, height)) return Fail(reason, TooLarge(width, height));
    found.width = static_cast<std::int32_t>(width);
    found.height = static_cast<std::int32_t>(height);
    *placement = found;
    return true;
  }
}

Image MakeGifCanvas(const GifPlacement& placement) {
  Image canvas;
  canvas.width = placement.width;
  canvas.height = placement.height;
  canvas.pixels.resize(static_cast<std::size_t>(placement.width) * placement.height * 3);
  for (std::size_t i = 0; i < canvas.pixels.size(); i += 3) {
    std::memcpy(&canvas.pixels[i], placement.background, 3);
  }
  return canvas;
}

}  // namespace fendrix
