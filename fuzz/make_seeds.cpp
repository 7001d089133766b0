// Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/:
// tiny, valid inputs of every kind each target reads, so the fuzzer starts
// from the real formats instead of guessing magic numbers. The output is
// committed; run `build/fuzz/bin/make_seeds fuzz/corpus` after a format
// change. JPEG and GIF seeds come from libjpeg and giflib themselves.
//
// Every seed is deterministic: running the tool twice writes the same bytes.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <gif_lib.h>

#include "conversion/imaging/bmp_writer.h"
#include "conversion/skin_text/cipher.h"
#include "support/text_lines.h"
#include "tools/picture_encoders.h"

using fendrix::tools::EncodeJpeg;

namespace {

namespace fs = std::filesystem;

void Save(const fs::path& folder, const std::string& name, std::string_view bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An asymmetric picture: 6 x 5, red growing to the right, green downwards.
fendrix::Image Picture(std::int32_t width = 6, std::int32_t height = 5) {
  fendrix::Image image{width, height,
                       std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint8_t* p = image.Row(y) + x * 3;
      p[0] = 200;
      p[1] = static_cast<std::uint8_t>(y * 50);
      p[2] = static_cast<std::uint8_t>(x * 40);
    }
  }
  return image;
}

// --- BMP ---------------------------------------------------------------------

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

struct BmpLayout {
  std::int32_t width = 6;
  std::int32_t height = 5;  // negative: top-down
  int bits = 8;
  std::uint32_t compression = 0;
  int palette_entries = 0;
  std::vector<std::uint32_t> masks;  // bit fields behind the info header
  std::string pixels;                // rows or RLE stream as stored
};

std::string Bmp(const BmpLayout& layout) {
  std::string body;
  Put32(body, 40);
  Put32(body, static_cast<std::uint32_t>(layout.width));
  Put32(body, static_cast<std::uint32_t>(layout.height));
  Put16(body, 1);
  Put16(body, static_cast<std::uint32_t>(layout.bits));
  Put32(body, layout.compression);
  Put32(body, static_cast<std::uint32_t>(layout.pixels.size()));
  Put32(body, 2835);
  Put32(body, 2835);
  Put32(body, static_cast<std::uint32_t>(layout.palette_entries));
  Put32(body, 0);
  for (std::uint32_t mask : layout.masks) Put32(body, mask);
  for (int i = 0; i < layout.palette_entries; ++i) {
    body.push_back(static_cast<char>(i * 40));   // blue
    body.push_back(static_cast<char>(255 - i));  // green
    body.push_back(static_cast<char>(i * 7));    // red
    body.push_back(0);
  }
  std::string file = "BM";
  Put32(file, static_cast<std::uint32_t>(14 + body.size() + layout.pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + body.size()));
  return file + body + layout.pixels;
}

// Rows of palette indices, each padded to 4 bytes.
std::string IndexRows(std::int32_t width, std::int32_t height, int bits) {
  std::string rows;
  const std::size_t stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
  for (std::int32_t y = 0; y < height; ++y) {
    std::string row(stride, '\0');
    for (std::int32_t x = 0; x < width; ++x) {
      int index = (x + y) % (1 << bits) % 4;
      int bit = x * bits;
      row[bit / 8] = static_cast<char>(row[bit / 8] | (index << (8 - bits - bit % 8)));
    }
    rows += row;
  }
  return rows;
}

// Rows of 16- or 32-bit pixels, each padded to 4 bytes.
std::string WideRows(std::int32_t width, std::int32_t height, int bits) {
  std::string rows;
  for (std::int32_t y = 0; y < height; ++y) {
    std::string row;
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint32_t v = static_cast<std::uint32_t>(x * 0x0841 + y * 0x1234);
      if (bits == 16) {
        Put16(row, v);
      } else {
        Put32(row, v * 0x10101);
      }
    }
    while (row.size() % 4) row.push_back(0);
    rows += row;
  }
  return rows;
}

void BmpSeeds(const fs::path& folder) {
  Save(folder, "24bit.bmp", fendrix::EncodeBmp24(Picture()));
  Save(folder, "24bit_1x1.bmp", fendrix::EncodeBmp24(Picture(1, 1)));
  Save(folder, "1bit.bmp", Bmp({7, 5, 1, 0, 2, {}, IndexRows(7, 5, 1)}));
  Save(folder, "4bit.bmp", Bmp({5, 3, 4, 0, 16, {}, IndexRows(5, 3, 4)}));
  Save(folder, "8bit_topdown.bmp", Bmp({6, -5, 8, 0, 4, {}, IndexRows(6, 5, 8)}));
  Save(folder, "16bit.bmp", Bmp({6, 5, 16, 0, 0, {}, WideRows(6, 5, 16)}));
  Save(folder, "16bit_565.bmp",
       Bmp({6, 5, 16, 3, 0, {0xF800, 0x07E0, 0x001F}, WideRows(6, 5, 16)}));
  Save(folder, "32bit.bmp", Bmp({3, 2, 32, 0, 0, {}, WideRows(3, 2, 32)}));
  Save(folder, "32bit_fields.bmp",
       Bmp({3, 2, 32, 3, 0, {0x3FF00000, 0x000FFC00, 0x000003FF}, WideRows(3, 2, 32)}));
  // RLE8: a run, an absolute run, a delta, line ends and the end of bitmap.
  const std::string rle8 = {2, 1, 0, 4, 0, 1, 2, 3, 0, 0, 0, 2, 2, 1, 2, 3, 0, 0, 6, 2, 0, 1};
  Save(folder, "rle8.bmp", Bmp({6, 4, 8, 1, 4, {}, rle8}));
  const std::string rle4 = {5, 0x12, 0, 0, 0, 5, 0x01, 0x23, 0x30, 0, 0, 0, 0, 1};
  Save(folder, "rle4.bmp", Bmp({5, 2, 4, 2, 4, {}, rle4}));
}

// --- GIF ---------------------------------------------------------------------

int AppendToString(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), count);
  return count;
}

struct GifFrame {
  int left = 0, top = 0, width = 6, height = 5;
  bool interlaced = false;
  int transparent = -1;  // palette index, or -1
};

std::string Gif(std::vector<GifFrame> frames, int screen_width = 6, int screen_height = 5) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendToString, &error);
  if (!gif) return out;
  const GifColorType colours[4] = {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, screen_width, screen_height, 2, 0, map);
  for (const GifFrame& frame : frames) {
    if (frame.transparent >= 0) {
      GraphicsControlBlock gcb{};
      gcb.TransparentColor = frame.transparent;
      gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
      GifByteType extension[4];
      EGifGCBToExtension(&gcb, extension);
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    }
    EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced,
                     nullptr);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.width));
    // giflib takes the rows of an interlaced frame in stored order; the
    // picture is a pattern, so any order is a valid seed.
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) line[x] = static_cast<GifPixelType>((x + 2 * y) % 4);
      EGifPutLine(gif, line.data(), frame.width);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// --- Skin.vsk ----------------------------------------------------------------

// The first byte of a skin_file or run input picks factors and separator.
std::string SkinInput(char selector, const std::vector<std::string>& lines) {
  return std::string(1, selector) + fendrix::EncipherLines(lines);
}

const std::vector<std::string> kSkinLines = {
    "Form=Jukebox",
    "gfxHintergrund=back.bmp",
    "",
    "Titel.Left=120",
    "Titel.Top=96",
    "Titel.Width=1280",
    "Titel.Height=1024",
    "Titel.FontSize=8,25",
    "Titel.Caption=Hallo",
    "gfxSchluss=sub\\close.gif",
    "gfxSongsuche=such.jpg",
    "gfxWunschliste=liste",
    "gfxLautst\xE4rkeregler=laut.bmp",
    "Liste.Width=abc",
    "a.b.Left=10",
    "x.Left=10=5",
};

void SkinSeeds(const fs::path& folder) {
  Save(folder, "skin_shrink", SkinInput(0, kSkinLines));
  // 57: enlarging with a decimal point, read in pieces of 4 bytes; in a run,
  // to 1920x1200. 6: a layout that keeps its proportions, centred across.
  Save(folder, "skin_enlarge_point", SkinInput(57, {"Form=1", "x.Left=-5", "x.Top=7.5e1"}));
  Save(folder, "skin_keep_aspect", SkinInput(6, kSkinLines));
  Save(folder, "skin_huge_values",
       SkinInput(5, {"x.Left=99999999999", "x.Top=1e400", "x.Width=-0", "x.Height="}));
  Save(folder, "skin_no_line_end",
       "\x01" + fendrix::EncipherLines({"gfxHintergrund=..\\..\\x.bmp"}).substr(0, 20));
  Save(folder, "skin_empty", std::string(1, '\0'));
}

// --- The numeric reading and the bitmap names --------------------------------

void TextSeeds(const fs::path& folder, const std::vector<std::string>& texts) {
  int i = 0;
  for (const std::string& text : texts) Save(folder, "seed" + std::to_string(i++), text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds CORPUS_FOLDER (normally fuzz/corpus)\n");
    return 2;
  }
  const fs::path root = argv[1];

  BmpSeeds(root / "bmp_fuzz");

  const fs::path pictures = root / "picture_fuzz";
  Save(pictures, "baseline.jpg", EncodeJpeg(Picture(), {.quality = 60}));
  Save(pictures, "progressive.jpg",
       EncodeJpeg(Picture(9, 7), {.quality = 60, .progressive = true}));
  Save(pictures, "gray.jpg", EncodeJpeg(Picture(5, 3), {.quality = 60, .gray = true}));
  Save(pictures, "plain.gif", Gif({GifFrame{}}));
  Save(pictures, "interlaced.gif", Gif({GifFrame{0, 0, 6, 9, true, -1}}, 6, 9));
  Save(pictures, "transparent_offset.gif",
       Gif({GifFrame{1, 1, 3, 2, false, 0}, GifFrame{0, 0, 6, 5, false, -1}}));
  Save(pictures, "24bit.bmp", fendrix::EncodeBmp24(Picture(3, 2)));

  SkinSeeds(root / "skin_file_fuzz");
  SkinSeeds(root / "run_fuzz");

  TextSeeds(root / "number_fuzz", {"120", "8,25", " -7.5e3 ", "1D2", "+0,5", "99999999999", "1e400",
                                   "-0", ",5", "32767,5"});
  TextSeeds(root / "bitmap_name_fuzz",
            {"back.bmp", "sub\\bild.gif", "..\\..\\x.bmp", "C:\\Windows\\win.ini", "\\abs.bmp",
             "CON", "nul.bmp", "a.bmp.", "a.bmp ", "a/b/../c.bmp", ".\\a.bmp", "a\\\\b.jpg", "bild",
             "x:stream.bmp"});
  return 0;
}
