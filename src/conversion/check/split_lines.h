#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The cipher escapes nothing, so a stored line may hold a carriage return.
// Reading stops there: the piece before it deciphers as it should, the rest
// becomes a line of its own that deciphers to noise. Such a line is found on
// the stored bytes: with the pieces joined again by the line end that split
// them, the line reads well, while the following piece alone does not.

namespace fendrix {

/// A line that reading splits: the index of its first piece among the lines
/// read, and the plain text of the whole line (code-page bytes).
struct SplitLine {
  std::size_t first = 0;
  std::size_t pieces = 0;
  std::string plain;
};

/// True for a text that can be a key: letters (Latin-1 ones too), digits,
/// "." and "_", at least one.
bool IsKeyText(std::string_view text);

/// True for a plain line of the form key=value: a key of letters, digits,
/// "." and "_", a value without control characters.
bool IsWellFormedLine(std::string_view plain);

/// The split lines of `text`, given its lines as LineReader found them
/// (views into `text`, in order).
std::vector<SplitLine> FindSplitLines(std::string_view text,
                                      std::span<const std::string_view> stored);

}  // namespace fendrix
