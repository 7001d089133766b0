#include "support/path_text.h"

#include "support/code_page.h"

namespace fendrix {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::filesystem::path PathFromCp1252(std::string_view bytes) {
  return PathFromUtf8(Cp1252ToUtf8(bytes));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

}  // namespace fendrix
