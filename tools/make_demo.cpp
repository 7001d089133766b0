// Makes the demo skins folder from demo/Skin.txt: every picture is drawn
// here, so the demo is the same on every machine and nothing is committed
// but the readable text.
//
//   make_demo SKIN_TXT OUT_SKINS_FOLDER

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/imaging/bmp_writer.h"
#include "conversion/skin_text/cipher.h"
#include "conversion/imaging/image.h"
#include "conversion/imaging/stretch.h"
#include "picture_encoders.h"
#include "support/code_page.h"
#include "support/text_lines.h"

namespace fs = std::filesystem;
using fendrix::Image;
using fendrix::tools::Canvas;
using fendrix::tools::EncodeBmp;
using fendrix::tools::EncodeGif;
using fendrix::tools::EncodeJpeg;
using fendrix::tools::FillRect;
using fendrix::tools::Put;
using fendrix::tools::Rgb;
using fendrix::tools::WriteFile;

namespace {

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
  std::istringstream utf8_lines(text.str());
  std::vector<std::string> lines;
  for (std::string utf8; std::getline(utf8_lines, utf8);) {
    if (!fendrix::Utf8ToCp1252(utf8, &lines.emplace_back())) return false;
  }
  *stored = fendrix::EncipherLines(lines);
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
            WriteFile(base / "back.jpg", EncodeJpeg(background, {.quality = 88})) &&
            WriteFile(base / "regler.gif", EncodeGif(Regler())) &&
            WriteFile(base / "schluss.bmp", EncodeBmp(schluss, 8)) &&
            WriteFile(base / "bilder" / "suche.bmp", EncodeBmp(suche, 32)) &&
            WriteFile(base / "linie.bmp", fendrix::EncodeBmp24(linie)) &&
            WriteFile(base / "ArrowT.bmp", EncodeBmp(Arrow(true, {230, 180, 40}), 4)) &&
            WriteFile(base / "ArrowB.bmp", EncodeBmp(Arrow(false, {230, 180, 40}), 4)) &&
            WriteFile(base / "ArrowTD.bmp", EncodeBmp(Arrow(true, {120, 120, 120}), 16)) &&
            WriteFile(base / "ArrowBD.bmp", EncodeBmp(Arrow(false, {120, 120, 120}), 1)) &&
            WriteFile(skins / "Demo" / "Vorschau.jpg", EncodeJpeg(preview, {.quality = 85}));
  if (!ok) {
    std::cerr << "make_demo: cannot write below " << skins << "\n";
    return 1;
  }
  std::cout << "demo skin written to " << (skins / "Demo").string() << "\n";
  return 0;
}
