#include "conversion/skin_text/skin_elements.h"

#include <unordered_map>

#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// Where a property of `element` goes; nothing for one that does not scale.
std::optional<ElementValue>* PropertySlot(SkinElement& element, std::string_view property) {
  if (property == "Left") return &element.left;
  if (property == "Top") return &element.top;
  if (property == "Width") return &element.width;
  if (property == "Height") return &element.height;
  if (property == "FontSize") return &element.font_size;
  return nullptr;
}

}  // namespace

std::optional<double> ReadScaledValue(std::string_view value, char decimal_separator) {
  std::string text(value);
  if (decimal_separator != ',') text = ReplaceAll(text, ",", std::string(1, decimal_separator));
  return ParseNumber(text, decimal_separator);
}

std::vector<SkinElement> ReadSkinElements(std::span<const std::string> lines,
                                          char decimal_separator) {
  std::vector<SkinElement> elements;
  std::unordered_map<std::string, std::size_t> index;  // a skin file may be long
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string key = GetField(lines[i], 1, "=");
    if (key.find('.') == std::string::npos) continue;
    std::string name = GetField(key, 1, ".");
    auto [at, added] = index.try_emplace(name, elements.size());
    if (added) elements.push_back(SkinElement{std::move(name), {}, {}, {}, {}, {}});
    std::optional<ElementValue>* slot = PropertySlot(elements[at->second], GetField(key, 2, "."));
    if (slot == nullptr) continue;
    if (auto number = ReadScaledValue(GetField(lines[i], 2, "="), decimal_separator)) {
      *slot = ElementValue{*number, i + 1};
    }
  }
  return elements;
}

}  // namespace fendrix
