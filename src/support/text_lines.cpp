#include "support/text_lines.h"

#include <algorithm>

namespace fendrix {

void LineCounter::Add(std::string_view piece) {
  if (piece.empty()) return;
  if (after_cr_ && piece[0] == '\n') piece.remove_prefix(1);  // the end of the line before
  after_cr_ = false;
  const std::size_t last_end = piece.rfind('\r');
  if (last_end == std::string_view::npos) {
    open_ = open_ || !piece.empty();
    return;
  }
  ends_ += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\r'));
  std::size_t rest = last_end + 1;
  if (rest < piece.size() && piece[rest] == '\n') ++rest;
  open_ = rest < piece.size();
  after_cr_ = last_end + 1 == piece.size();
}

}  // namespace fendrix
