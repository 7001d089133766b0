// The reading half of the benchmark's floor: reads and decodes each picture
// once with the converter's own decoders and does nothing else with it. A
// conversion cannot take less than this plus writing its output once.
//
//   bench_decode FILE...

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <span>
#include <string>

#include "conversion/image.h"
#include "conversion/picture_decoder.h"
#include "support/file_system.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: bench_decode FILE...\n";
    return 2;
  }
  fendrix::RealFileSystem fs;
  for (int i = 1; i < argc; ++i) {
    std::string bytes, err;
    if (!fs.ReadFile(argv[i], &bytes, &err)) {
      std::cerr << "bench_decode: " << err << "\n";
      return 1;
    }
    fendrix::Image image;
    std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       bytes.size());
    if (!fendrix::DecodePicture(data, &image, &err)) {
      std::cerr << "bench_decode: " << argv[i] << ": " << err << "\n";
      return 1;
    }
  }
  return 0;
}
