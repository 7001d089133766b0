#include "support/file_lines.h"

#include <algorithm>
#include <cstring>

namespace fendrix {
namespace {

// A read fills this much at a time: large enough that the calls into the
// system do not count, small enough that a skin file of a few kilobytes
// takes one read.
constexpr std::size_t kReadAhead = std::size_t{64} << 10;

}  // namespace

FileLineReader::FileLineReader(FileReader& file, std::filesystem::path path, std::size_t max_line)
    : file_(file),
      path_(std::move(path)),
      max_line_(max_line),
      buffer_(std::min(kReadAhead, max_line + 2)) {}

bool FileLineReader::Next(std::string_view* line) {
  if (!error_.empty()) return false;
  for (;;) {
    const char* from = buffer_.data() + search_;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', end_ - search_));
    if (cr != nullptr) {
      const auto at = static_cast<std::size_t>(cr - buffer_.data());
      // Whether a line feed follows shows only with the next byte.
      if (at + 1 < end_ || at_end_) return HandOut(at, line);
      search_ = at;
    } else if (at_end_) {
      // A last line without a line end is still a line.
      return begin_ < end_ && HandOut(end_, line);
    } else {
      search_ = end_;
    }
    if (!Refill()) return false;
  }
}

// Hands out the line that ends at `end` and steps past its line end.
bool FileLineReader::HandOut(std::size_t end, std::string_view* line) {
  if (end - begin_ > max_line_) return LineTooLong();
  *line = std::string_view(buffer_.data() + begin_, end - begin_);
  begin_ = end + 1;
  if (begin_ < end_ && buffer_[begin_] == '\n') ++begin_;
  begin_ = std::min(begin_, end_);
  search_ = begin_;
  return true;
}

bool FileLineReader::LineTooLong() {
  return Fail("Datei kann nicht gelesen werden: " + DisplayPath(path_) +
              " (eine Zeile ist länger als " + std::to_string(max_line_) + " Bytes)");
}

bool FileLineReader::Fail(std::string error) {
  error_ = std::move(error);
  return false;
}

// Moves the bytes not handed out yet to the front, makes room when one line
// fills the whole buffer, and reads on.
bool FileLineReader::Refill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    search_ -= begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) {
    // Room for the longest line allowed, its CR and its LF.
    const std::size_t most = max_line_ + 2;
    if (buffer_.size() >= most) return LineTooLong();
    buffer_.resize(buffer_.size() > most / 2 ? most : 2 * buffer_.size());
  }
  std::size_t got = 0;
  std::string err;
  if (!file_.Read(buffer_.data() + end_, buffer_.size() - end_, &got, &err)) {
    return Fail(std::move(err));
  }
  at_end_ = got == 0;
  end_ += got;
  return true;
}

}  // namespace fendrix
