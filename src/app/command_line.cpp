#include "app/command_line.h"

namespace fendrix {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring CommandLineArguments(std::wstring_view command_line) {
  std::size_t at = 0;
  if (!command_line.empty() && command_line[0] == L'"') {
    std::size_t closing = command_line.find(L'"', 1);
    at = closing == std::wstring_view::npos ? command_line.size() : closing + 1;
  } else {
    while (at < command_line.size() && !IsBlank(command_line[at])) ++at;
  }
  while (at < command_line.size() && IsBlank(command_line[at])) ++at;
  return std::wstring(command_line.substr(at));
}

bool AutoConversionSkin(std::wstring_view arguments, std::wstring* skin) {
  if (arguments.empty() || arguments[0] != L'/') return false;
  *skin = arguments.substr(1);
  return true;
}

}  // namespace fendrix
