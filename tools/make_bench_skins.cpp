// Makes the skins the benchmark converts (bench/run_bench.py). Every picture
// is drawn from fixed seeds with integer arithmetic only and encoded here, so
// the same library versions give the same bytes on every machine; the
// benchmark checks them against bench/inputs.sha256 before it times anything.
//
//   make_bench_skins OUT [--smoke]
//
// OUT/skins: S1280 (1280x1024), S1920 (1920x1200) and Sup (1024x768), each
// three photo-like JPEGs, four 24-bit BMPs and three GIFs of 64 colours named
// by a Skin.vsk of 300 lines. Lines (1280x1024): the five bitmaps a skin
// names, at a quarter of their usual size, and a Skin.vsk of 5,000 lines as
// skins have them; Tiny: hard links to the same bitmaps and a Skin.vsk of
// only its form and bitmap lines. OUT/batch: 40 skins whose files are hard
// links to those of S1280. --smoke makes the same layout with pictures a
// sixteenth the size and three batch skins, to prove the benchmark runs.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "conversion/skin_text/cipher.h"
#include "conversion/imaging/image.h"
#include "picture_encoders.h"
#include "support/text_lines.h"

namespace fs = std::filesystem;
using fendrix::Image;
using fendrix::tools::EncodeBmp;
using fendrix::tools::EncodeGif;
using fendrix::tools::EncodeJpeg;
using fendrix::tools::WriteFile;

namespace {

// splitmix64: fully defined by its arithmetic, unlike the standard
// library's distributions, whose output may change between versions.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// Uniform enough in [0, n) for n far below 2^32.
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t state_;
};

// Value noise: random values on a lattice of `cell` pixels, bilinear in
// between; adds `weight` times the noise (0..255) to `sum`.
void AddNoise(std::vector<std::int32_t>& sum, int width, int height, int cell, int weight,
              Rng& rng) {
  const int columns = width / cell + 2, rows = height / cell + 2;
  std::vector<std::int32_t> lattice(static_cast<std::size_t>(columns) * rows);
  for (std::int32_t& v : lattice) v = rng.Below(256);
  for (int y = 0; y < height; ++y) {
    const int gy = y / cell, fy = y % cell;
    const std::int32_t* top = &lattice[static_cast<std::size_t>(gy) * columns];
    const std::int32_t* bottom = top + columns;
    std::int32_t* out = &sum[static_cast<std::size_t>(y) * width];
    for (int x = 0; x < width; ++x) {
      const int gx = x / cell, fx = x % cell;
      const std::int64_t upper =
          static_cast<std::int64_t>(top[gx]) * (cell - fx) + top[gx + 1] * fx;
      const std::int64_t lower =
          static_cast<std::int64_t>(bottom[gx]) * (cell - fx) + bottom[gx + 1] * fx;
      out[x] += static_cast<std::int32_t>((upper * (cell - fy) + lower * fy) * weight /
                                          (static_cast<std::int64_t>(cell) * cell));
    }
  }
}

std::uint8_t Clamp(std::int32_t v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

// A picture with the statistics of a photograph: soft structure at several
// scales in brightness, broader colour regions, hard-edged objects and grain,
// so that a JPEG of it costs to decode about what a photo of its size costs.
Image Photo(int width, int height, std::uint64_t seed) {
  Rng rng(seed);
  const std::size_t n = static_cast<std::size_t>(width) * height;
  std::vector<std::int32_t> light(n, 0), warm(n, 0), blue(n, 0);
  const int base = std::max(4, std::max(width, height) / 5);
  AddNoise(light, width, height, base, 8, rng);
  AddNoise(light, width, height, std::max(2, base / 4), 4, rng);
  AddNoise(light, width, height, std::max(2, base / 16), 3, rng);
  AddNoise(light, width, height, 3, 3, rng);
  AddNoise(warm, width, height, base, 2, rng);
  AddNoise(warm, width, height, std::max(2, base / 8), 1, rng);
  AddNoise(blue, width, height, base, 2, rng);
  AddNoise(blue, width, height, std::max(2, base / 8), 1, rng);
  // Objects: rectangles a little lighter or darker than what lies behind.
  for (int i = 0; i < 60; ++i) {
    const int x0 = rng.Below(width), y0 = rng.Below(height);
    const int x1 = std::min(width, x0 + 1 + rng.Below(std::max(1, width / 6)));
    const int y1 = std::min(height, y0 + 1 + rng.Below(std::max(1, height / 6)));
    const std::int32_t shift = (rng.Below(2) ? 1 : -1) * (300 + rng.Below(900));
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) light[static_cast<std::size_t>(y) * width + x] += shift;
    }
  }

  Image image{width, height, std::vector<std::uint8_t>(n * 3)};
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t l = light[i] / 18, r = warm[i] / 3 - 128, b = blue[i] / 3 - 128;
    const std::int32_t grain = rng.Below(13) - 6;
    std::uint8_t* p = &image.pixels[i * 3];
    p[0] = Clamp(l + b / 2 + grain);
    p[1] = Clamp(l - (r + b) / 4 + grain);
    p[2] = Clamp(l + r / 2 + grain);
  }
  return image;
}

// A button or bar of exactly 64 colours (when it has room for them): two
// hues in 32 steps each, the second in slanted stripes like lettering.
Image Button(int width, int height, std::uint64_t seed) {
  Rng rng(seed);
  const int hue_a[3] = {40 + rng.Below(60), 60 + rng.Below(60), 120 + rng.Below(100)};
  const int hue_b[3] = {200 + rng.Below(50), 150 + rng.Below(60), 20 + rng.Below(40)};
  Image image{width, height,
              std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int level = (x + y) * 32 / (width + height);
      const int* hue = ((x / 5 + y / 7) % 3 == 0) ? hue_b : hue_a;
      std::uint8_t* p = image.Row(y) + x * 3;
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(hue[c] * (level + 16) / 48);
    }
  }
  return image;
}

// The five bitmap keys in code-page bytes ("ä" is 0xE4).
const char* const kBitmapKeys[] = {"gfxHintergrund", "gfxLautst\xE4rkeregler", "gfxSchluss",
                                   "gfxSongsuche", "gfxWunschliste"};

const char* const kElements[] = {"Titel", "Liste", "Regler", "Suche",  "Schluss", "Cover",
                                 "Info",  "Zeit",  "Knopf",  "Wunsch", "Anzeige", "Leiste"};

// One plain line of an element: one of the five scaled properties, or now
// and then one carried over as it stands.
std::string ElementLine(Rng& rng, int width, int height, int serial) {
  std::string element = kElements[rng.Below(12)] + std::to_string(serial % 97);
  switch (rng.Below(7)) {
    case 0:
      return element + ".Left=" + std::to_string(rng.Below(width));
    case 1:
      return element + ".Top=" + std::to_string(rng.Below(height));
    case 2:
      return element + ".Width=" + std::to_string(1 + rng.Below(width / 2));
    case 3:
      return element + ".Height=" + std::to_string(1 + rng.Below(height / 2));
    case 4:
      return element + ".FontSize=" + std::to_string(6 + rng.Below(20)) +
             (rng.Below(2) ? ",5" : "");
    case 5:
      return element + ".ForeColor=&H00" + std::to_string(100000 + rng.Below(899999)) + "&";
    default:
      return element + ".Caption=Titel " + std::to_string(rng.Below(1000));
  }
}

// The plain lines of a Skin.vsk: a Form line, then element lines with the
// bitmap lines spread among them, `lines` in all.
std::vector<std::string> SkinLines(const std::vector<std::string>& bitmaps, int lines, int width,
                                   int height, std::uint64_t seed) {
  Rng rng(seed);
  std::vector<std::string> out;
  out.reserve(lines);
  out.push_back("Form=Benchmark " + std::to_string(width) + "x" + std::to_string(height));
  const int spacing = std::max<int>(1, (lines - 1) / bitmaps.size());
  std::size_t next_bitmap = 0;
  for (int i = 1; i < lines; ++i) {
    if (next_bitmap < bitmaps.size() && i % spacing == 1) {
      out.push_back(std::string(kBitmapKeys[next_bitmap % 5]) + "=" + bitmaps[next_bitmap]);
      ++next_bitmap;
    } else {
      out.push_back(ElementLine(rng, width, height, i));
    }
  }
  return out;
}

// One skin of the mix at `base_width` x `base_height`. The sizes follow the
// 1280x1024 skin, scaled with the screen and divided by `shrink`.
bool MakeMixSkin(const fs::path& folder, int base_width, int base_height, int shrink,
                 std::uint64_t seed) {
  auto w = [&](int at1280) { return std::max(1, at1280 * base_width / 1280 / shrink); };
  auto h = [&](int at1024) { return std::max(1, at1024 * base_height / 1024 / shrink); };
  struct Picture {
    std::string name;
    std::string bytes;
  };
  std::vector<Picture> pictures;
  const int qualities[3] = {85, 88, 90};
  for (int i = 0; i < 3; ++i) {
    pictures.push_back({"foto" + std::to_string(i + 1) + ".jpg",
                        EncodeJpeg(Photo(w(1280), h(1024), seed + i), {.quality = qualities[i]})});
  }
  pictures.push_back({"hintergrund.bmp", EncodeBmp(Photo(w(1280), h(1024), seed + 10), 24)});
  pictures.push_back({"panel.bmp", EncodeBmp(Photo(w(1280), h(1024), seed + 11), 24)});
  pictures.push_back({"liste.bmp", EncodeBmp(Photo(w(640), h(512), seed + 12), 24)});
  pictures.push_back({"cover.bmp", EncodeBmp(Photo(w(400), h(300), seed + 13), 24)});
  pictures.push_back({"knopf1.gif", EncodeGif(Button(w(200), h(40), seed + 20))});
  pictures.push_back({"knopf2.gif", EncodeGif(Button(w(200), h(40), seed + 21))});
  pictures.push_back({"leiste.gif", EncodeGif(Button(w(320), h(64), seed + 22))});

  std::vector<std::string> names;
  for (const Picture& picture : pictures) {
    if (!WriteFile(folder / picture.name, picture.bytes)) return false;
    names.push_back(picture.name);
  }
  return WriteFile(folder / "Skin.vsk", fendrix::EncipherLines(SkinLines(names, 300, base_width,
                                                                         base_height, seed + 30)));
}

// The batch skins share S1280's bytes; a file system without hard links
// gets copies.
bool LinkSkin(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_directories(to, ec);
  if (ec) return false;
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    const fs::path target = to / entry.path().filename();
    fs::create_hard_link(entry.path(), target, ec);
    if (ec && !fs::copy_file(entry.path(), target, ec)) return false;
  }
  return true;
}

// A font size as skins write it, with the decimal comma of a German system.
const char* const kFontSizes[] = {"8", "8,25", "9", "9,75", "10", "10,5", "12", "14,25", "18"};

// One element as a skin describes it: where it sits and how large it is,
// then most often its font size and now and then its colour or caption.
void AddElement(std::vector<std::string>& out, const std::string& name, Rng& rng, int width,
                int height) {
  const int w = 8 + rng.Below(width / 2), h = 8 + rng.Below(height / 4);
  out.push_back(name + ".Left=" + std::to_string(rng.Below(width - w)));
  out.push_back(name + ".Top=" + std::to_string(rng.Below(height - h)));
  out.push_back(name + ".Width=" + std::to_string(w));
  out.push_back(name + ".Height=" + std::to_string(h));
  if (rng.Below(4) != 0) out.push_back(name + ".FontSize=" + kFontSizes[rng.Below(9)]);
  if (rng.Below(3) == 0) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string colour = "&H00";
    for (int i = 0; i < 6; ++i) colour += kHex[rng.Below(16)];
    out.push_back(name + ".ForeColor=" + colour + "&");
  }
  if (rng.Below(5) == 0) out.push_back(name + ".Caption=Titel " + std::to_string(rng.Below(100)));
}

// The Lines and Tiny skins: the same five bitmaps, one named by each bitmap
// key as in a real skin, and a Skin.vsk of `lines` lines (Lines) or of just
// the form and bitmap lines (Tiny), so that the two runs differ only in text.
// The bitmaps are a quarter of a real skin's size: they only have to be the
// same in both runs, and small ones keep the noise of their writes out of a
// difference of a few milliseconds.
bool MakeTextSkins(const fs::path& skins, int shrink, int lines) {
  const fs::path folder = skins / "Lines" / "1280x1024";
  auto w = [&](int at1280) { return std::max(1, at1280 / (4 * shrink)); };
  const struct {
    const char* name;
    std::string bytes;
  } pictures[] = {
      {"back.jpg", EncodeJpeg(Photo(w(1280), w(1024), 500), {.quality = 88})},
      {"regler.gif", EncodeGif(Button(w(40), w(560), 501))},
      {"schluss.bmp", EncodeBmp(Photo(w(48), w(48), 502), 24)},
      {"suche.bmp", EncodeBmp(Photo(w(520), w(40), 503), 24)},
      {"linie.bmp", EncodeBmp(Button(w(1040), 1, 504), 24)},
  };
  std::vector<std::string> head = {"Form=Jukebox 1280x1024"};
  for (int i = 0; i < 5; ++i) {
    if (!WriteFile(folder / pictures[i].name, pictures[i].bytes)) return false;
    head.push_back(std::string(kBitmapKeys[i]) + "=" + pictures[i].name);
  }
  // Linked before either text is written, so that each skin has its own.
  const fs::path tiny = skins / "Tiny" / "1280x1024";
  if (!LinkSkin(folder, tiny)) return false;
  std::vector<std::string> text = head;
  text.push_back("");
  Rng rng(505);
  for (int i = 0; static_cast<int>(text.size()) < lines - 1; ++i) {
    AddElement(text, kElements[i % 12] + std::to_string(i / 12 + 1), rng, 1280, 1024);
  }
  text.resize(lines - 1);
  text.push_back("Version=6");
  head.push_back("Version=6");
  return WriteFile(folder / "Skin.vsk", fendrix::EncipherLines(text)) &&
         WriteFile(tiny / "Skin.vsk", fendrix::EncipherLines(head));
}

}  // namespace

int main(int argc, char** argv) {
  const bool smoke = argc == 3 && std::strcmp(argv[2], "--smoke") == 0;
  if (argc != 2 && !smoke) {
    std::cerr << "usage: make_bench_skins OUT [--smoke]\n";
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path skins = out / "skins";
  // Only the two folders this program makes are cleared, whatever OUT is.
  for (const fs::path& old : {skins, out / "batch"}) {
    std::error_code ec;
    fs::remove_all(old, ec);
    if (ec) {
      std::cerr << "make_bench_skins: cannot clear " << old << ": " << ec.message() << "\n";
      return 1;
    }
  }
  const int shrink = smoke ? 16 : 1;
  const int batch_skins = smoke ? 3 : 40;

  bool ok = MakeMixSkin(skins / "S1280" / "1280x1024", 1280, 1024, shrink, 1280) &&
            MakeMixSkin(skins / "S1920" / "1920x1200", 1920, 1200, shrink, 1920) &&
            MakeMixSkin(skins / "Sup" / "1024x768", 1024, 768, shrink, 1024) &&
            MakeTextSkins(skins, shrink, 5000);
  for (int i = 1; ok && i <= batch_skins; ++i) {
    std::string name = std::string(i < 10 ? "B0" : "B") + std::to_string(i);
    ok = LinkSkin(skins / "S1280" / "1280x1024", out / "batch" / name / "1280x1024");
  }
  if (!ok) {
    std::cerr << "make_bench_skins: cannot write below " << out << "\n";
    return 1;
  }
  std::cout << "benchmark skins written to " << out.string() << "\n";
  return 0;
}
