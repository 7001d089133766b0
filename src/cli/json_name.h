#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

// A file name as JSON can carry it. JSON text is Unicode, a file name is not
// always: a POSIX name is any bytes (an old archive leaves Latin-1 ones), a
// Windows name any 16-bit units (unpaired surrogates included). The readable
// form replaces what is no character by U+FFFD; the raw form keeps every
// byte or unit, escaped, for whoever must find the folder again.

namespace fendrix {

/// A name split into what JSON can show and, when that is not the name
/// itself, the name's escaped raw form.
struct JsonName {
  /// Valid UTF-8: each ill-formed piece of the name is one U+FFFD.
  std::string text;
  /// Only when `text` is not the name: the name with each byte that is not
  /// part of a UTF-8 character written `\xHH`, each unpaired surrogate
  /// `\uHHHH` (upper-case hex) and each backslash `\\`; every character
  /// stays as it is.
  std::optional<std::string> raw;
};

/// From the bytes of a POSIX name. An ill-formed piece is the longest start
/// of a UTF-8 sequence that could still have been valid, or a single byte.
JsonName JsonNameFromBytes(std::string_view bytes);

/// From the UTF-16 units of a Windows name.
JsonName JsonNameFromUtf16(std::u16string_view units);

/// From a name as the platform holds it: bytes here, UTF-16 on Windows.
JsonName JsonNameOf(const std::filesystem::path& name);

/// Sets `object[member]` to the name's readable form (null for no name) and,
/// when that is not the name itself, `member` + "_raw" to its raw form.
void PutJsonName(nlohmann::ordered_json& object, const std::string& member,
                 const std::optional<std::filesystem::path>& name);

}  // namespace fendrix
