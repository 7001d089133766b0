#pragma once

#include <string>
#include <string_view>

namespace fendrix {

/// The argument text of a whole command line: what follows the program's
/// name (quoted or not) and the blanks after it, otherwise as it stands.
std::wstring CommandLineArguments(std::wstring_view command_line);

/// True for an automatic-conversion command line ("/Name"); `skin` then
/// receives the name.
bool AutoConversionSkin(std::wstring_view arguments, std::wstring* skin);

}  // namespace fendrix
