#pragma once

#include <string>
#include <string_view>
#include <vector>

// The line cipher of Skin.vsk. Every line is enciphered on its own; the line
// ends are not. The operation is its own inverse: the same call deciphers and
// enciphers.

namespace fendrix {

/// The one key every skin file is enciphered with.
inline constexpr std::string_view kSkinKey = "kvt3";

/// XORs byte p with 255, the key byte (p mod n) and (p mod 256). An empty key
/// uses no key byte. The key is taken as code-page bytes.
void XorCrypt(std::string& bytes, std::string_view key);

/// Enciphers or deciphers one line of code-page bytes in place; an empty line
/// stays empty.
void CryptLine(std::string& line, std::string_view key);

/// A whole Skin.vsk from plain lines of code-page bytes: each enciphered with
/// the skin key and ended by CR LF.
std::string EncipherLines(const std::vector<std::string>& lines);

/// The plain lines of a whole Skin.vsk, each deciphered with the skin key.
std::vector<std::string> DecipherLines(std::string_view stored);

}  // namespace fendrix
