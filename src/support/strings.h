#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers for resolution names ("1280x1024"), configuration lines
// ("key=value"), keys ("element.property") and backslash paths. They work on
// bytes, compare exactly and never look at a locale, so they serve code-page
// lines and UTF-8 text alike.

namespace fendrix {

/// Field `index` (1-based) of `text` split at `separator`; with `count` >= 2
/// the run of fields from `index`, each followed by the separator. A text
/// without the separator has no fields at all and gives "". `index` below 1
/// and an empty separator give "".
std::string GetField(std::string_view text, int index, std::string_view separator, int count = 1);

/// The part of `path` after its last backslash; without `keep_extension` it
/// is cut before its last dot. Only the backslash separates folders.
std::string GetFileName(std::string_view path, bool keep_extension);

/// `text` with every occurrence of `from` replaced by `to` (exact, left to right).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

/// ASCII lower case; bytes above 127 stay as they are.
std::string AsciiLower(std::string_view text);

}  // namespace fendrix
