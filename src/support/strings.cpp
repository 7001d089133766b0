#include "support/strings.h"


namespace fendrix {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string GetField(std::string_view text, int index, std::string_view separator, int count) {
  if (separator.empty() || index < 1 || text.find(separator) == std::string_view::npos) return "";

  // Fields index to last, each followed by the separator when more than one
  // is asked for; the fields are walked without being collected.
  const long long last = count < 2 ? index : static_cast<long long>(index) + count - 1;
  std::string run;
  std::size_t start = 0;
  for (long long field = 1; field <= last; ++field) {
    const std::size_t hit = text.find(separator, start);
    const std::string_view piece =
        text.substr(start, hit == std::string_view::npos ? std::string_view::npos : hit - start);
    if (field >= index) {
      run += piece;
      if (count >= 2) run += separator;
    }
    if (hit == std::string_view::npos) break;
    start = hit + separator.size();
  }
  return run;
}

std::string GetFileName(std::string_view path, bool keep_extension) {
  std::size_t slash = path.rfind('\\');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (!keep_extension) {
    std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
  }
  return std::string(name);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  std::size_t start = 0;
  for (std::size_t hit = text.find(from); hit != std::string_view::npos;
       hit = text.find(from, start)) {
    out.append(text.substr(start, hit - start));
    out.append(to);
    start = hit + from.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

}  // namespace fendrix
