#include "conversion/skin_text/cipher.h"

#include <cstddef>
#include <cstdint>

#include "support/text_lines.h"

namespace fendrix {

void XorCrypt(std::string& bytes, std::string_view key) {
  const std::size_t n = key.size();
  for (std::size_t p = 0; p < bytes.size(); ++p) {
    std::uint8_t key_byte = n == 0 ? 0 : static_cast<std::uint8_t>(key[p % n]);
    std::uint8_t mask = 0xFF ^ key_byte ^ static_cast<std::uint8_t>(p & 0xFF);
    bytes[p] = static_cast<char>(static_cast<std::uint8_t>(bytes[p]) ^ mask);
  }
}

void CryptLine(std::string& line, std::string_view key) {
  // The line is held as code-page bytes already, so the round trip through
  // the code page that the format describes is the identity here.
  if (line.empty()) return;
  XorCrypt(line, key);
}

std::string EncipherLines(const std::vector<std::string>& lines) {
  std::string stored;
  for (std::string line : lines) {
    CryptLine(line, kSkinKey);
    stored += line;
    stored += kLineEnd;
  }
  return stored;
}

std::vector<std::string> DecipherLines(std::string_view stored) {
  std::vector<std::string> lines;
  LineReader reader(stored);
  for (std::string_view line; reader.Next(&line);) {
    lines.emplace_back(line);
    CryptLine(lines.back(), kSkinKey);
  }
  return lines;
}

}  // namespace fendrix
