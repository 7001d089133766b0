#include "conversion/imaging/bmp_writer.h"

#include <algorithm>
#include <cstring>

namespace fendrix {
namespace {

void Put16(std::string& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::size_t at, std::uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

}  // namespace

MutablePixelRows PrepareBmp24(std::int32_t width, std::int32_t height, std::string* file) {
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  const std::size_t stride = (row + 3) & ~std::size_t{3};
  const std::size_t pixels = stride * height;
  constexpr std::size_t kHeaders = 14 + 40;  // the file header and the info header
  file->resize(kHeaders + pixels);
  std::string& out = *file;
  std::fill_n(out.begin(), kHeaders, '\0');
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<std::uint32_t>(out.size()));
  Put32(out, 10, kHeaders);
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<std::uint32_t>(width));
  Put32(out, 22, static_cast<std::uint32_t>(height));
  Put16(out, 26, 1);
  Put16(out, 28, 24);
  Put32(out, 34, static_cast<std::uint32_t>(pixels));
  Put32(out, 38, 2835);  // 72 dpi
  Put32(out, 42, 2835);
  // The buffer may hold an earlier file: only the pixels get written anew.
  auto* first = reinterpret_cast<std::uint8_t*>(out.data()) + kHeaders;
  if (stride != row) {
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
      std::memset(first + y * stride + row, 0, stride - row);
    }
  }
  const auto step = static_cast<std::ptrdiff_t>(stride);
  return {first + step * (height - 1), -step, width, height};
}

std::string EncodeBmp24(const Image& image) {
  std::string out;
  const MutablePixelRows rows = PrepareBmp24(image.width, image.height, &out);
  for (std::int32_t y = 0; y < image.height; ++y) {
    std::memcpy(rows.Row(y), image.Row(y), static_cast<std::size_t>(image.width) * 3);
  }
  return out;
}

}  // namespace fendrix
