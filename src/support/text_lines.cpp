#include "support/text_lines.h"

namespace fendrix {

bool LineReader::Next(std::string_view* line) {
  if (pos_ >= text_.size()) return false;
  std::size_t end = text_.find('\r', pos_);
  if (end == std::string_view::npos) {
    *line = text_.substr(pos_);
    pos_ = text_.size();
    return true;
  }
  *line = text_.substr(pos_, end - pos_);
  pos_ = end + 1;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  return true;
}

std::size_t CountLines(std::string_view text) {
  LineReader reader(text);
  std::size_t count = 0;
  for (std::string_view line; reader.Next(&line);) ++count;
  return count;
}

}  // namespace fendrix
