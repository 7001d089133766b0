#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// The line reading of the skin files: a line ends at a carriage return, a
// line feed right after it belongs to the line end, a line feed anywhere else
// is an ordinary byte, and a last line without an end is still a line.

namespace fendrix {

/// Walks the lines of a text held in memory; the views point into it.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  /// The next line without its end, or false at the end of the text.
  /// Inline: a skin file can have a million lines.
  bool Next(std::string_view* line) {
    if (pos_ >= text_.size()) return false;
    const char* begin = text_.data() + pos_;
    const std::size_t rest = text_.size() - pos_;
    const auto* end = static_cast<const char*>(std::memchr(begin, '\r', rest));
    if (end == nullptr) {
      *line = std::string_view(begin, rest);
      pos_ = text_.size();
      return true;
    }
    *line = std::string_view(begin, static_cast<std::size_t>(end - begin));
    pos_ += line->size() + 1;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

/// The number of lines LineReader finds in `text`.
std::size_t CountLines(std::string_view text);

/// The line end every written line carries.
inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace fendrix
