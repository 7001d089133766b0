// The benchmark's floor: reads and decodes each picture once with the
// converter's own decoders and does nothing else with it; with --write, also
// writes the files of a finished output folder once into another, flushed to
// the disk as the conversion flushes its own. A conversion cannot take less
// than the two together.
//
//   bench_decode FILE... [--write FROM_FOLDER TO_FOLDER]

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/imaging/image.h"
#include "conversion/imaging/picture_decoder.h"
#include "support/file_system.h"

namespace {

// Each file through the same seam the conversion writes with, then the
// folder's entries, as the conversion syncs its staging folder.
bool WriteAll(fendrix::FileSystem& fs, const std::filesystem::path& from,
              const std::filesystem::path& to, std::string* err) {
  std::vector<fendrix::DirectoryEntry> entries;
  if (!fs.ListDirectory(from, &entries, err) || !fs.MakeDirectory(to, err)) return false;
  for (const fendrix::DirectoryEntry& entry : entries) {
    if (!fs.Copy(from / entry.name, to / entry.name, err)) return false;
  }
  return fs.SyncFolder(to, err);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  std::filesystem::path write_from, write_to;
  if (files.size() >= 3 && files[files.size() - 3] == "--write") {
    write_from = files[files.size() - 2];
    write_to = files.back();
    files.resize(files.size() - 3);
  }
  if (files.empty() && write_from.empty()) {
    std::cerr << "usage: bench_decode FILE... [--write FROM_FOLDER TO_FOLDER]\n";
    return 2;
  }
  fendrix::RealFileSystem fs;
  std::string bytes, err;
  for (const std::string& file : files) {
    if (!fs.ReadFile(file, &bytes, &err)) {
      std::cerr << "bench_decode: " << err << "\n";
      return 1;
    }
    fendrix::Image image;
    std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       bytes.size());
    if (!fendrix::DecodePicture(data, &image, &err)) {
      std::cerr << "bench_decode: " << file << ": " << err << "\n";
      return 1;
    }
  }
  if (!write_from.empty() && !WriteAll(fs, write_from, write_to, &err)) {
    std::cerr << "bench_decode: " << err << "\n";
    return 1;
  }
  return 0;
}
