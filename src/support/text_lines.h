#pragma once

#include <cstddef>
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
  bool Next(std::string_view* line);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

/// The number of lines LineReader finds in `text`.
std::size_t CountLines(std::string_view text);

/// The line end every written line carries.
inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace fendrix
