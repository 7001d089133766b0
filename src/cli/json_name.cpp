#include "cli/json_name.h"

#include "support/code_page.h"

namespace fendrix {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void AppendHex(std::string& out, std::string_view prefix, unsigned value, int digits) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 15];
}

// The length of the well-formed UTF-8 sequence at the start of `bytes`, or,
// negated, the length of its ill-formed piece (at least 1). The ranges of the
// second byte rule out overlong forms, surrogates and code points past
// U+10FFFF, so that such a sequence is cut where it goes wrong.
int Utf8SequenceAt(std::string_view bytes) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned lead = byte(0);
  if (lead < 0x80) return 1;
  int length = 0;
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    if (static_cast<std::size_t>(i) >= bytes.size() || byte(i) < low || byte(i) > high) return -i;
    low = 0x80, high = 0xBF;
  }
  return length;
}

void AppendRawCharacter(std::string& raw, std::string_view character) {
  raw += character == "\\" ? "\\\\" : character;
}

}  // namespace

JsonName JsonNameFromBytes(std::string_view bytes) {
  JsonName name;
  std::string raw;
  bool ill_formed = false;
  while (!bytes.empty()) {
    int length = Utf8SequenceAt(bytes);
    if (length > 0) {
      name.text += bytes.substr(0, length);
      AppendRawCharacter(raw, bytes.substr(0, length));
    } else {
      length = -length;
      ill_formed = true;
      name.text += kReplacement;
      for (int i = 0; i < length; ++i) {
        AppendHex(raw, "\\x", static_cast<unsigned char>(bytes[i]), 2);
      }
    }
    bytes.remove_prefix(length);
  }
  if (ill_formed) name.raw = std::move(raw);
  return name;
}

JsonName JsonNameFromUtf16(std::u16string_view units) {
  JsonName name;
  std::string raw;
  bool ill_formed = false;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t unit = units[i];
    bool high = unit >= 0xD800 && unit <= 0xDBFF, low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (high || low) {
      ill_formed = true;
      name.text += kReplacement;
      AppendHex(raw, "\\u", unit, 4);
      continue;
    }
    std::string character;
    AppendUtf8(unit, &character);
    name.text += character;
    AppendRawCharacter(raw, character);
  }
  if (ill_formed) name.raw = std::move(raw);
  return name;
}

JsonName JsonNameOf(const std::filesystem::path& name) {
  const auto& native = name.native();
#ifdef _WIN32
  return JsonNameFromUtf16(std::u16string(native.begin(), native.end()));
#else
  return JsonNameFromBytes(native);
#endif
}

void PutJsonName(nlohmann::ordered_json& object, const std::string& member,
                 const std::optional<std::filesystem::path>& name) {
  if (!name) {
    object[member] = nullptr;
    return;
  }
  JsonName shown = JsonNameOf(*name);
  object[member] = shown.text;
  if (shown.raw) object[member + "_raw"] = *shown.raw;
}

}  // namespace fendrix
