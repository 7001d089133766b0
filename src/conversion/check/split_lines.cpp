#include "conversion/check/split_lines.h"

#include <algorithm>

#include "conversion/skin_text/cipher.h"

namespace fendrix {
namespace {

bool IsKeyByte(unsigned char byte) {
  // Latin-1 letters from 0xC0 on: "gfxLautstärkeregler" is a key.
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
         (byte >= 'a' && byte <= 'z') || byte == '.' || byte == '_' || byte >= 0xC0;
}

std::string Decipher(std::string_view stored) {
  std::string plain(stored);
  CryptLine(plain, kSkinKey);
  return plain;
}

// The stored bytes from the start of line `first` to the end of line `last`,
// the line ends between them included.
std::string_view Joined(std::string_view text, std::span<const std::string_view> stored,
                        std::size_t first, std::size_t last) {
  const auto begin = static_cast<std::size_t>(stored[first].data() - text.data());
  const auto end =
      static_cast<std::size_t>(stored[last].data() - text.data()) + stored[last].size();
  return text.substr(begin, end - begin);
}

// Whether line `first` and the pieces after it up to `next` make one line.
// An empty piece counts only after a lone carriage return: after CR LF it is
// an empty line of the file, which every skin may have.
bool Continues(std::string_view text, std::span<const std::string_view> stored, std::size_t first,
               std::size_t next) {
  const std::string_view piece = stored[next];
  if (IsWellFormedLine(Decipher(piece))) return false;
  const std::string_view before = stored[next - 1];
  const auto line_end = static_cast<std::size_t>(before.data() - text.data()) + before.size();
  if (piece.empty() && text.substr(line_end, 2) == "\r\n") return false;
  return IsWellFormedLine(Decipher(Joined(text, stored, first, next)));
}

}  // namespace

bool IsKeyText(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char byte) {
    return IsKeyByte(static_cast<unsigned char>(byte));
  });
}

bool IsWellFormedLine(std::string_view plain) {
  const std::size_t equals = plain.find('=');
  if (equals == std::string_view::npos || !IsKeyText(plain.substr(0, equals))) return false;
  return std::none_of(plain.begin() + equals, plain.end(), [](char byte) {
    return static_cast<unsigned char>(byte) < 32 || byte == 127;
  });
}

std::vector<SplitLine> FindSplitLines(std::string_view text,
                                      std::span<const std::string_view> stored) {
  std::vector<SplitLine> found;
  for (std::size_t first = 0; first + 1 < stored.size(); ++first) {
    std::size_t last = first;
    // A line may hold more than one carriage return.
    while (last + 1 < stored.size() && Continues(text, stored, first, last + 1)) ++last;
    if (last == first) continue;
    found.push_back({first, last - first + 1, Decipher(Joined(text, stored, first, last))});
    first = last;
  }
  return found;
}

}  // namespace fendrix
