#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "support/byte_mask.h"
#include "support/file_system.h"
#include "support/text_lines.h"

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

  /// The next line without its end, valid until the next call and followed
  /// by kLinePadding readable bytes; false at the end of the file and after a
  /// failure, which `error()` then tells.
  /// The usual case is inline: a skin file can have a million lines.
  bool Next(std::string_view* line) {
    // A skin line is some twenty bytes: every third line or so starts a new
    // block, which is taken here too when it lies wholly in the bytes read.
    if (ends_ == 0 && block_ + 2 * kBlock <= end_) {
      block_ += kBlock;
      ends_ = ByteMask<kBlock>(buffer_.get() + block_, '\r');
    }
    if (ends_ != 0) {
      const std::size_t at = block_ + static_cast<std::size_t>(std::countr_zero(ends_));
      if (at + 1 < end_ && at - begin_ <= max_line_) return HandOut(at, line);
    }
    return NextFromNextBlock(line);
  }

  /// Empty unless reading failed.
  const std::string& error() const { return error_; }

 private:
  // Hands out the line that the carriage return at `at` ends, the next one
  // of `ends_`, and steps past its line end.
  bool HandOut(std::size_t at, std::string_view* line) {
    ends_ &= ends_ - 1;
    *line = std::string_view(buffer_.get() + begin_, at - begin_);
    begin_ = at + 1;
    if (begin_ < end_ && buffer_[begin_] == '\n') ++begin_;
    return true;
  }

  // Line ends are looked for in blocks of this many bytes, one bit per byte.
  // A block may reach past the bytes read.
  static constexpr std::size_t kBlock = 64;
  // Room after the bytes read, zeroed: for a block, and the padding of a line.
  static constexpr std::size_t kSlack = std::max(kBlock, kLinePadding);

  bool NextFromNextBlock(std::string_view* line);
  void LoadBlock(std::size_t at);
  bool Refill(std::size_t search);
  bool LineTooLong();
  bool Fail(std::string error);

  FileReader& file_;
  std::filesystem::path path_;
  std::size_t max_line_;
  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;   // the first byte not handed out yet
  std::size_t end_ = 0;     // the end of the bytes read
  std::size_t block_ = 0;   // where the block of `ends_` starts
  std::uint64_t ends_ = 0;  // the carriage returns of the block not handed out yet
  bool at_end_ = false;
  std::string error_;
};

}  // namespace fendrix
