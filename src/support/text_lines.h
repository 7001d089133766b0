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

/// Counts the lines LineReader would find in a text that arrives in pieces,
/// split anywhere (even between a carriage return and its line feed).
class LineCounter {
 public:
  void Add(std::string_view piece);

  /// The lines of all pieces so far, an unfinished last line included.
  std::size_t count() const { return ends_ + (open_ ? 1 : 0); }

 private:
  std::size_t ends_ = 0;   // carriage returns seen
  bool open_ = false;      // bytes seen since the last line end
  bool after_cr_ = false;  // the last byte was a CR: a line feed now still ends its line
};

/// The line end every written line carries.
inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace fendrix
