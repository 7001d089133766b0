// Encodes raw RGB pixels as the progressive JPEG the program carries as its
// badge: JFIF, followed by a small Exif block, three components at full
// chroma resolution so the thin red and white strokes keep their colour.
//
//   make_badge WIDTH HEIGHT OUTPUT.jpg [INPUT.rgb]
//
// INPUT holds WIDTH * HEIGHT * 3 bytes, rows top to bottom; without it (or
// with "-") the pixels come from standard input. scripts/make_resources.py
// draws the badge and runs this.

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kQuality = 92;

// "Exif\0\0", then a little-endian TIFF header and one IFD holding just
// Orientation = 1 (rows top to bottom), so viewers that honour the tag leave
// the badge as it is.
constexpr unsigned char kExif[] = {
    'E',  'x',  'i',  'f',  0,    0,                               // identifier
    'I',  'I',  0x2A, 0x00, 0x08, 0x00, 0x00, 0x00,                // TIFF header, IFD at 8
    0x01, 0x00,                                                    // one entry
    0x12, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // Orientation
    0x00, 0x00, 0x00, 0x00,                                        // no further IFD
};

bool ParseDimension(const char* text, int* value) {
  char* end = nullptr;
  long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < 1 || parsed > 65500) return false;
  *value = static_cast<int>(parsed);
  return true;
}

bool ReadPixels(const char* path, std::vector<unsigned char>* pixels) {
  if (path == nullptr || std::strcmp(path, "-") == 0) {
    pixels->assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return !std::cin.bad();
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  pixels->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::vector<unsigned char> Encode(const std::vector<unsigned char>& pixels, int width,
                                  int height) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);  // reports and exits on any error
  jpeg_create_compress(&cinfo);

  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);

  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, kQuality, TRUE);
  cinfo.write_JFIF_header = TRUE;
  cinfo.optimize_coding = TRUE;
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  jpeg_simple_progression(&cinfo);

  jpeg_start_compress(&cinfo, TRUE);
  jpeg_write_marker(&cinfo, JPEG_APP0 + 1, kExif, sizeof kExif);
  const JDIMENSION stride = static_cast<JDIMENSION>(width) * 3;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + cinfo.next_scanline * stride);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);

  std::vector<unsigned char> jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

}  // namespace

int main(int argc, char** argv) {
  int width = 0;
  int height = 0;
  if (argc < 4 || argc > 5 || !ParseDimension(argv[1], &width) ||
      !ParseDimension(argv[2], &height)) {
    std::cerr << "usage: make_badge WIDTH HEIGHT OUTPUT.jpg [INPUT.rgb]\n";
    return 2;
  }
  std::vector<unsigned char> pixels;
  const char* input = argc == 5 ? argv[4] : nullptr;
  if (!ReadPixels(input, &pixels)) {
    std::cerr << "make_badge: cannot read " << (input ? input : "standard input") << "\n";
    return 1;
  }
  const std::size_t expected = static_cast<std::size_t>(width) * height * 3;
  if (pixels.size() != expected) {
    std::cerr << "make_badge: got " << pixels.size() << " bytes of pixels, expected " << expected
              << "\n";
    return 1;
  }
  const std::vector<unsigned char> jpeg = Encode(pixels, width, height);
  // Encoded before the output is opened, so an encoder error leaves no half
  // file behind.
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
  out.close();
  if (!out) {
    std::cerr << "make_badge: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
