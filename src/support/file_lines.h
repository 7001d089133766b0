#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/file_system.h"

// The lines of a file as LineReader finds them in memory, read through one
// buffer that is used again and again: a skin file of any length takes only
// the memory of its longest line and one read-ahead.

namespace fendrix {

/// The longest line FileLineReader hands out. A skin's lines are a few dozen
/// bytes; the limit only keeps a file without line ends from taking the
/// memory of a 32-bit program.
inline constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

/// Reads the lines of a file from where the file stands.
class FileLineReader {
 public:
  /// `path` names the file in messages. A line longer than `max_line` bytes
  /// ends the reading with an error rather than taking the program's memory.
  FileLineReader(FileReader& file, std::filesystem::path path,
                 std::size_t max_line = kMaxLineBytes);

  /// The next line without its end, valid until the next call; false at the
  /// end of the file and after a failure, which `error()` then tells.
  bool Next(std::string_view* line);

  /// Empty unless reading failed.
  const std::string& error() const { return error_; }

 private:
  bool HandOut(std::size_t end, std::string_view* line);
  bool Refill();
  bool LineTooLong();
  bool Fail(std::string error);

  FileReader& file_;
  std::filesystem::path path_;
  std::size_t max_line_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;   // the first byte not handed out yet
  std::size_t search_ = 0;  // where to look on for a carriage return
  std::size_t end_ = 0;     // the end of the bytes read
  bool at_end_ = false;
  std::string error_;
};

}  // namespace fendrix
