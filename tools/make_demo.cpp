// Makes the demo skins folder from demo/Skin.txt: every picture is drawn
// here, so the demo is the same on every machine and nothing is committed
// but the readable text.
//
//   make_demo SKIN_TXT OUT_SKINS_FOLDER

#include <cstdio>  // jpeglib.h needs FILE

#include <gif_lib.h>
#include <jpeglib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/bmp_codec.h"
#include "conversion/cipher.h"
#include "conversion/image.h"
#include "conversion/stretch.h"
#include "support/code_page.h"
#include "support/text_lines.h"

namespace fs = std::filesystem;
using fendrix::Image;

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

Image Canvas(int width, int height, Rgb fill) {
  Image image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
    image.pixels[i] = fill.b, image.pixels[i + 1] = fill.g, image.pixels[i + 2] = fill.r;
  }
  return image;
}

void Put(Image& image, int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
  std::uint8_t* p = image.Row(y) + x * 3;
  p[0] = c.b, p[1] = c.g, p[2] = c.r;
}

void FillRect(Image& image, int x0, int y0, int w, int h, Rgb c) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) Put(image, x, y, c);
  }
}

// A night-blue background with soft light bands and the player's panels.
Image Background() {
  Image image = Canvas(1280, 1024, {0, 0, 0});
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      double wave = 0.5 + 0.5 * std::sin(x / 90.0 + y / 140.0);
      Put(image, x, y,
          {static_cast<std::uint8_t>(20 + 40 * wave), static_cast<std::uint8_t>(30 + 30 * wave),
           static_cast<std::uint8_t>(90 + 100 * wave * y / image.height)});
    }
  }
  FillRect(image, 110, 170, 1060, 620, {12, 16, 40});
  FillRect(image, 110, 810, 540, 60, {40, 44, 70});
  FillRect(image, 0, 0, 1280, 6, {230, 180, 40});
  return image;
}

// An arrow pointing up or down in a small square.
Image Arrow(bool up, Rgb colour) {
  Image image = Canvas(24, 24, {255, 0, 255});  // magenta: keyed transparent
  for (int row = 0; row < 12; ++row) {
    int y = up ? 6 + row : 17 - row;
    FillRect(image, 11 - row / 2, y, row + 2, 1, colour);
  }
  return image;
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

void Append16(std::string& out, std::uint16_t v) { out.append({char(v & 255), char(v >> 8)}); }
void Append32(std::string& out, std::uint32_t v) {
  Append16(out, v & 0xFFFF);
  Append16(out, v >> 16);
}

// A BMP of 1, 4 or 8 bits with a palette of the picture's own colours (the
// pictures here have few), or of 16 (5-5-5) or 32 bits.
std::string EncodeBmp(const Image& image, int bits) {
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
  Append32(out, offset + row_bytes * image.height);
  Append32(out, 0);
  Append32(out, offset);
  Append32(out, 40);
  Append32(out, image.width);
  Append32(out, image.height);
  Append16(out, 1);
  Append16(out, static_cast<std::uint16_t>(bits));
  Append32(out, 0);
  Append32(out, row_bytes * image.height);
  Append32(out, 2835);
  Append32(out, 2835);
  Append32(out, static_cast<std::uint32_t>(palette.size()));
  Append32(out, 0);
  for (std::uint32_t colour : palette) Append32(out, colour);
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
        row[x * 4] = static_cast<char>(p[0]), row[x * 4 + 1] = static_cast<char>(p[1]);
        row[x * 4 + 2] = static_cast<char>(p[2]), row[x * 4 + 3] = 0;
      }
    }
    out += row;
  }
  return out;
}

std::string EncodeJpeg(const Image& image, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = image.width;
  cinfo.image_height = image.height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.Row(static_cast<std::int32_t>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

int GifWrite(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
  return length;
}

// A GIF of the picture's colours (at most 256), first colour transparent.
std::string EncodeGif(const Image& image) {
  std::vector<GifColorType> colours;
  std::vector<GifByteType> pixels;
  for (std::int32_t y = 0; y < image.height; ++y) {
    for (std::int32_t x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.Row(y) + x * 3;
      std::size_t i = 0;
      while (i < colours.size() && !(colours[i].Red == p[2] && colours[i].Green == p[1] &&
                                     colours[i].Blue == p[0])) {
        ++i;
      }
      if (i == colours.size() && colours.size() < 256) colours.push_back({p[2], p[1], p[0]});
      pixels.push_back(static_cast<GifByteType>(std::min<std::size_t>(i, 255)));
    }
  }
  colours.resize(256);
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, GifWrite, &error);
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr);
  for (std::int32_t y = 0; y < image.height; ++y) {
    EGifPutLine(gif, pixels.data() + static_cast<std::size_t>(y) * image.width, image.width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// The volume control: a slider track with a knob, few colours.
Image Regler() {
  Image image = Canvas(40, 560, {255, 0, 255});
  FillRect(image, 17, 10, 6, 540, {180, 180, 200});
  FillRect(image, 4, 240, 32, 40, {230, 180, 40});
  return image;
}

bool EncipherSkinFile(const fs::path& plain_path, std::string* stored) {
  std::ifstream in(plain_path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::istringstream lines(text.str());
  for (std::string utf8; std::getline(lines, utf8);) {
    std::string line;
    if (!fendrix::Utf8ToCp1252(utf8, &line)) return false;
    fendrix::CryptLine(line, fendrix::kSkinKey);
    *stored += line;
    *stored += fendrix::kLineEnd;
  }
  return static_cast<bool>(in);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_demo SKIN_TXT OUT_SKINS_FOLDER\n";
    return 2;
  }
  fs::path skins = argv[2];
  fs::path base = skins / "Demo" / "1280x1024";
  std::string stored;
  if (!EncipherSkinFile(argv[1], &stored)) {
    std::cerr << "make_demo: cannot read " << argv[1] << " as Windows-1252 text\n";
    return 1;
  }
  Image background = Background();
  Image schluss = Canvas(48, 48, {160, 20, 20});
  FillRect(schluss, 12, 22, 24, 4, {255, 255, 255});
  Image suche = Canvas(520, 40, {40, 44, 70});
  FillRect(suche, 4, 4, 512, 32, {250, 250, 250});
  Image linie = Canvas(1040, 1, {230, 180, 40});
  Image preview = fendrix::Stretch(background, 320, 256, fendrix::StretchFilter::kSmooth);

  bool ok = WriteFile(base / "Skin.vsk", stored) &&
            WriteFile(base / "back.jpg", EncodeJpeg(background, 88)) &&
            WriteFile(base / "regler.gif", EncodeGif(Regler())) &&
            WriteFile(base / "schluss.bmp", EncodeBmp(schluss, 8)) &&
            WriteFile(base / "bilder" / "suche.bmp", EncodeBmp(suche, 32)) &&
            WriteFile(base / "linie.bmp", fendrix::EncodeBmp24(linie)) &&
            WriteFile(base / "ArrowT.bmp", EncodeBmp(Arrow(true, {230, 180, 40}), 4)) &&
            WriteFile(base / "ArrowB.bmp", EncodeBmp(Arrow(false, {230, 180, 40}), 4)) &&
            WriteFile(base / "ArrowTD.bmp", EncodeBmp(Arrow(true, {120, 120, 120}), 16)) &&
            WriteFile(base / "ArrowBD.bmp", EncodeBmp(Arrow(false, {120, 120, 120}), 1)) &&
            WriteFile(skins / "Demo" / "Vorschau.jpg", EncodeJpeg(preview, 85));
  if (!ok) {
    std::cerr << "make_demo: cannot write below " << skins << "\n";
    return 1;
  }
  std::cout << "demo skin written to " << (skins / "Demo").string() << "\n";
  return 0;
}
