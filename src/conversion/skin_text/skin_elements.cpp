#include "conversion/skin_text/skin_elements.h"

#include <algorithm>
#include <unordered_map>

#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// Where the property kScaledProperties[index] of `element` goes.
std::optional<ElementValue>& PropertySlot(SkinElement& element, std::size_t index) {
  std::optional<ElementValue>* slots[] = {&element.left, &element.top, &element.width,
                                          &element.height, &element.font_size};
  return *slots[index];
}

}  // namespace

std::optional<double> ReadScaledValue(std::string_view value, char decimal_separator) {
  std::string text(value);
  if (decimal_separator != ',') text = ReplaceAll(text, ",", std::string(1, decimal_separator));
  return ParseNumber(text, decimal_separator);
}

bool IsScaledProperty(std::string_view property) {
  return std::find(kScaledProperties.begin(), kScaledProperties.end(), property) !=
         kScaledProperties.end();
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
    if (added) elements.push_back(SkinElement{.name = std::move(name), .line = i + 1});
    SkinElement& element = elements[at->second];
    const auto scaled =
        std::find(kScaledProperties.begin(), kScaledProperties.end(), GetField(key, 2, "."));
    if (scaled == kScaledProperties.end()) continue;
    const auto index = static_cast<std::size_t>(scaled - kScaledProperties.begin());
    if (index < element.placed.size()) element.placed[index] = true;
    if (auto number = ReadScaledValue(GetField(lines[i], 2, "="), decimal_separator)) {
      PropertySlot(element, index) = ElementValue{*number, i + 1};
    }
  }
  return elements;
}

}  // namespace fendrix
