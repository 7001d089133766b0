#include "support/path_text.h"

#include "support/code_page.h"

namespace fendrix {
namespace {

wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return c + (L'a' - L'A');
  // Latin-1 capitals À..Þ, except the multiplication sign.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  return c;
}

}  // namespace

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

bool NamesEqualIgnoringCase(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::wstring wa = Utf8ToWide(PathToUtf8(a)), wb = Utf8ToWide(PathToUtf8(b));
  if (wa.size() != wb.size()) return false;
  for (std::size_t i = 0; i < wa.size(); ++i) {
    if (FoldCase(wa[i]) != FoldCase(wb[i])) return false;
  }
  return true;
}

}  // namespace fendrix
