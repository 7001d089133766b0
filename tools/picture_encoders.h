#pragma once

// Drawing and encoding for the programs that make skins to try the converter
// on (make_demo, make_bench_skins). The encoders write the files themselves,
// with libjpeg-turbo and giflib and a BMP writer of their own, so that a
// made skin does not depend on the converter's code it is meant to test.

#include <cstdio>  // jpeglib.h needs FILE

#include <gif_lib.h>
#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "conversion/imaging/image.h"

namespace fendrix::tools {

/// A colour as people write it.
struct Rgb {
  std::uint8_t r, g, b;
};

/// A picture of `width` x `height` filled with `fill`.
inline Image Canvas(int width, int height, Rgb fill) {
  Image image{width, height,
              std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
    image.pixels[i] = fill.b, image.pixels[i + 1] = fill.g, image.pixels[i + 2] = fill.r;
  }
  return image;
}

/// Sets one pixel; outside the picture nothing happens.
inline void Put(Image& image, int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
  std::uint8_t* p = image.Row(y) + x * 3;
  p[0] = c.b, p[1] = c.g, p[2] = c.r;
}

/// Fills a rectangle, clipped to the picture.
inline void FillRect(Image& image, int x0, int y0, int w, int h, Rgb c) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) Put(image, x, y, c);
  }
}

/// Writes `bytes` to `path`, creating its folders; false when that fails.
inline bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

namespace detail {
inline void Append16(std::string& out, std::uint16_t v) {
  out.append({char(v & 255), char(v >> 8)});
}
inline void Append32(std::string& out, std::uint32_t v) {
  Append16(out, v & 0xFFFF);
  Append16(out, v >> 16);
}
}  // namespace detail

/// A bottom-up BMP of 1, 4 or 8 bits with a palette of the picture's own
/// colours (the first 2^bits found; later ones take the last entry), or of 16
/// (5-5-5), 24 or 32 bits.
inline std::string EncodeBmp(const Image& image, int bits) {
  std::vector<std::uint32_t> palette;
  std::vector<int> indices;
  if (bits <= 8) {
    for (std::int32_t y = 0; y < image.height; ++y) {
      for (std::int32_t x = 0; x < image.width; ++x) {
        const std::uint8_t* p = image.Row(y) + x * 3;
        std::uint32_t colour = p[0] | p[1] << 8 | p[2] << 16;
        std::size_t i = 0;
        while (i < palette.size() && palette[i] != colour) ++i;
        if (i == palette.size()) palette.push_back(colour);
        indices.push_back(static_cast<int>(std::min<std::size_t>(i, (1u << bits) - 1)));
      }
    }
    palette.resize(1u << bits);
  }
  std::uint32_t row_bytes = ((image.width * bits + 31) / 32) * 4;
  std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
  std::string out = "BM";
  detail::Append32(out, offset + row_bytes * image.height);
  detail::Append32(out, 0);
  detail::Append32(out, offset);
  detail::Append32(out, 40);
  detail::Append32(out, image.width);
  detail::Append32(out, image.height);
  detail::Append16(out, 1);
  detail::Append16(out, static_cast<std::uint16_t>(bits));
  detail::Append32(out, 0);
  detail::Append32(out, row_bytes * image.height);
  detail::Append32(out, 2835);
  detail::Append32(out, 2835);
  detail::Append32(out, static_cast<std::uint32_t>(palette.size()));
  detail::Append32(out, 0);
  for (std::uint32_t colour : palette) detail::Append32(out, colour);
  for (std::int32_t y = image.height - 1; y >= 0; --y) {
    std::string row(row_bytes, '\0');
    for (std::int32_t x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.Row(y) + x * 3;
      if (bits <= 8) {
        int index = indices[static_cast<std::size_t>(y) * image.width + x];
        int bit = x * bits;
        row[bit / 8] = static_cast<char>(row[bit / 8] | index << (8 - bits - bit % 8));
      } else if (bits == 16) {
        std::uint16_t v = (p[2] >> 3) << 10 | (p[1] >> 3) << 5 | (p[0] >> 3);
        row[x * 2] = static_cast<char>(v & 255), row[x * 2 + 1] = static_cast<char>(v >> 8);
      } else {
        const int step = bits / 8;
        row[x * step] = static_cast<char>(p[0]), row[x * step + 1] = static_cast<char>(p[1]);
        row[x * step + 2] = static_cast<char>(p[2]);
      }
    }
    out += row;
  }
  return out;
}

/// How EncodeJpeg writes a picture.
struct JpegOptions {
  int quality = 90;
  bool progressive = false;
  bool gray = false;  ///< one component, taken from the green channel
};

/// A JPEG with libjpeg's defaults (chroma subsampled 4:2:0, standard Huffman
/// tables, the integer transform), so that the same library version always
/// writes the same bytes.
inline std::string EncodeJpeg(const Image& image, const JpegOptions& options) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = options.gray ? 1 : 3;
  cinfo.in_color_space = options.gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (options.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> green(options.gray ? static_cast<std::size_t>(image.width) : 0);
  while (cinfo.next_scanline < cinfo.image_height) {
    const std::uint8_t* source = image.Row(static_cast<std::int32_t>(cinfo.next_scanline));
    for (std::size_t x = 0; x < green.size(); ++x) green[x] = source[x * 3 + 1];
    JSAMPROW row = options.gray ? green.data() : const_cast<JSAMPROW>(source);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

namespace detail {
inline int GifWrite(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
  return length;
}
}  // namespace detail

/// A GIF of the picture's colours (the first 256 found), with a colour table
/// just large enough for them.
inline std::string EncodeGif(const Image& image) {
  std::vector<GifColorType> colours;
  std::vector<GifByteType> pixels;
  for (std::int32_t y = 0; y < image.height; ++y) {
    for (std::int32_t x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.Row(y) + x * 3;
      std::size_t i = 0;
      while (i < colours.size() &&
             !(colours[i].Red == p[2] && colours[i].Green == p[1] && colours[i].Blue == p[0])) {
        ++i;
      }
      if (i == colours.size() && colours.size() < 256) colours.push_back({p[2], p[1], p[0]});
      pixels.push_back(static_cast<GifByteType>(std::min<std::size_t>(i, 255)));
    }
  }
  int table_bits = 1;
  while ((std::size_t{1} << table_bits) < colours.size()) ++table_bits;
  colours.resize(std::size_t{1} << table_bits);
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, detail::GifWrite, &error);
  ColorMapObject* map = GifMakeMapObject(1 << table_bits, colours.data());
  EGifPutScreenDesc(gif, image.width, image.height, table_bits, 0, map);
  EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr);
  for (std::int32_t y = 0; y < image.height; ++y) {
    EGifPutLine(gif, pixels.data() + static_cast<std::size_t>(y) * image.width, image.width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

}  // namespace fendrix::tools
