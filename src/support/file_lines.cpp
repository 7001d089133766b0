#include "support/file_lines.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "support/byte_mask.h"

namespace fendrix {
namespace {

// A read fills this much at a time: small enough to stay in the processor's
// cache between the read and the work on it, large enough that the calls
// into the system do not count.
constexpr std::size_t kReadAhead = std::size_t{64} << 10;

}  // namespace

FileLineReader::FileLineReader(FileReader& file, std::filesystem::path path, std::size_t max_line)
    : file_(file),
      path_(std::move(path)),
      max_line_(max_line),
      capacity_(std::min(kReadAhead, max_line + 2)),
      buffer_(std::make_unique<char[]>(capacity_ + kSlack)) {}

bool FileLineReader::NextFromNextBlock(std::string_view* line) {
  if (!error_.empty()) return false;
  for (;;) {
    if (ends_ != 0) {
      const std::size_t at = block_ + static_cast<std::size_t>(std::countr_zero(ends_));
      // Whether a line feed follows shows only with the next byte.
      if (at + 1 < end_ || at_end_) {
        if (at - begin_ > max_line_) return LineTooLong();
        return HandOut(at, line);
      }
      if (!Refill(at)) return false;
    } else if (block_ + kBlock < end_) {
      LoadBlock(block_ + kBlock);
    } else if (at_end_) {
      if (begin_ == end_) return false;
      if (end_ - begin_ > max_line_) return LineTooLong();
      *line = std::string_view(buffer_.get() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    } else if (!Refill(end_)) {
      return false;
    }
  }
}

void FileLineReader::LoadBlock(std::size_t at) {
  block_ = at;
  ends_ = ByteMask<kBlock>(buffer_.get() + at, '\r');
  const std::size_t valid = end_ - at;  // the block may reach past the bytes read
  if (valid < kBlock) ends_ &= (std::uint64_t{1} << valid) - 1;
}

bool FileLineReader::LineTooLong() {
  return Fail("Datei kann nicht gelesen werden: " + DisplayPath(path_) +
              " (eine Zeile ist länger als " + std::to_string(max_line_) + " Bytes)");
}

// After a failure no line is handed out any more, not even by the inline
// part of Next.
bool FileLineReader::Fail(std::string error) {
  error_ = std::move(error);
  ends_ = 0;
  block_ = end_;
  return false;
}

// Moves the bytes not handed out yet to the front, makes room when one line
// fills the whole buffer, reads on and goes on looking for line ends at
// `search`, before which there are none.
bool FileLineReader::Refill(std::size_t search) {
  const std::size_t unread = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, unread);
    search -= begin_;
    begin_ = 0;
    end_ = unread;
  }
  if (end_ == capacity_) {
    // Room for the longest line allowed, its CR and its LF.
    const std::size_t most = max_line_ + 2;
    if (capacity_ >= most) return LineTooLong();
    const std::size_t larger = capacity_ > most / 2 ? most : 2 * capacity_;
    auto grown = std::make_unique<char[]>(larger + kSlack);
    std::memcpy(grown.get(), buffer_.get(), end_);
    buffer_ = std::move(grown);
    capacity_ = larger;
  }
  std::size_t got = 0;
  std::string err;
  if (!file_.Read(buffer_.get() + end_, capacity_ - end_, &got, &err)) return Fail(std::move(err));
  at_end_ = got == 0;
  end_ += got;
  LoadBlock(search);
  return true;
}

}  // namespace fendrix
