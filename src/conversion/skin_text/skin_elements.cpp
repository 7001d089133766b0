#include "conversion/skin_text/skin_elements.h"

#include <unordered_map>

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
    const std::optional<std::size_t> scaled = FindScaledProperty(GetField(key, 2, "."));
    if (!scaled) continue;
    if (*scaled < element.placed.size()) element.placed[*scaled] = true;
    if (auto number = ReadScaledValue(GetField(lines[i], 2, "="), decimal_separator)) {
      PropertySlot(element, *scaled) = ElementValue{*number, i + 1};
    }
  }
  return elements;
}

}  // namespace fendrix
