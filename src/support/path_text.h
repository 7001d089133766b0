#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Conversions between paths and the two kinds of text the program handles:
// code-page bytes (skin files) and UTF-8 (command line, messages).

namespace fendrix {

/// A path from UTF-8 text.
std::filesystem::path PathFromUtf8(std::string_view utf8);

/// A path from code-page bytes (a name read from a skin file).
std::filesystem::path PathFromCp1252(std::string_view bytes);

/// A path as UTF-8 text.
std::string PathToUtf8(const std::filesystem::path& path);

/// A file name compared as Windows compares names: each character of the
/// Basic Multilingual Plane taken as its capital, everything else exactly.
/// The one rule wherever the program matches a name a user or a skin gave.
bool NamesEqualIgnoringCase(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace fendrix
