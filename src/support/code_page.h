#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Windows-1252 stands for the system's ANSI code page on every platform, so a
// Skin.vsk reads and writes the same everywhere. The five bytes that 1252
// leaves undefined map to the C1 controls of the same value, so every byte
// survives a round trip through Unicode.

namespace fendrix {

/// The Unicode code point of one code-page byte.
char32_t Cp1252ToCodePoint(std::uint8_t byte);

/// The code-page byte of a code point, or nothing when 1252 has none.
std::optional<std::uint8_t> CodePointToCp1252(char32_t code_point);

/// Code-page bytes as UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);

/// UTF-8 as code-page bytes. Fails on malformed UTF-8 or a character the code
/// page lacks; `bad_offset` then receives the byte offset of the culprit.
bool Utf8ToCp1252(std::string_view utf8, std::string* out, std::size_t* bad_offset = nullptr);

/// UTF-8 as wide text (UTF-16 on Windows); malformed bytes become U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);

/// Appends one code point as UTF-8.
void AppendUtf8(char32_t code_point, std::string* out);

/// Wide text as UTF-8.
std::string WideToUtf8(std::wstring_view wide);

}  // namespace fendrix
