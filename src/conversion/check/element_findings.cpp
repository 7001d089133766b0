#include "conversion/check/element_findings.h"

#include <optional>
#include <string_view>

#include "conversion/skin_text/line_rewriter.h"
#include "conversion/skin_text/scaled_properties.h"
#include "conversion/skin_text/skin_elements.h"
#include "support/code_page.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {
namespace {

class ElementCheck {
 public:
  ElementCheck(std::span<const std::string> plain, const CheckRequest& request,
               std::vector<CheckFinding>& findings)
      : plain_(plain), request_(request), findings_(findings) {}

  void Placement(const SkinElement& element) {
    Axis(element, element.left, element.width, "Left", "Width", request_.width);
    Axis(element, element.top, element.height, "Top", "Height", request_.height);
  }
  void Completeness(const SkinElement& element);
  void Vanishing(const SkinElement& element, const std::optional<ElementValue>& size,
                 std::string_view size_name);

 private:
  void Add(std::size_t line, std::string_view kind, const SkinElement& element, std::string text) {
    findings_.push_back({line, std::string(kind), std::nullopt,
                         "Element " + Cp1252ToUtf8(element.name) + " " + text,
                         Cp1252ToUtf8(element.name)});
  }
  void Axis(const SkinElement& element, const std::optional<ElementValue>& position,
            const std::optional<ElementValue>& size, std::string_view position_name,
            std::string_view size_name, std::int32_t screen);

  std::span<const std::string> plain_;
  const CheckRequest& request_;
  std::vector<CheckFinding>& findings_;
};

// An element reaches off the screen along one axis when its position is
// negative or its far edge lies beyond the screen; without a size, its
// position alone counts.
void ElementCheck::Axis(const SkinElement& element, const std::optional<ElementValue>& position,
                        const std::optional<ElementValue>& size, std::string_view position_name,
                        std::string_view size_name, std::int32_t screen) {
  if (!position) return;
  const double end = position->value + (size ? size->value : 0);
  if (position->value >= 0 && end <= screen) return;
  std::string how = std::string(position_name) + " " + ShortestText(position->value);
  if (position->value < 0) {
    how += " < 0";
  } else {
    if (size) {
      how += " + " + std::string(size_name) + " " + ShortestText(size->value) + " = " +
             ShortestText(end);
    }
    how += " > " + std::to_string(screen);
  }
  std::string lines =
      size ? "Zeilen " + std::to_string(position->line) + " und " + std::to_string(size->line)
           : "Zeile " + std::to_string(position->line);
  Add(position->line, kOffScreen, element,
      "liegt außerhalb des Bildschirms " + std::to_string(request_.width) + "x" +
          std::to_string(request_.height) + ": " + how + " (" + lines + ")");
}

// Some of Left, Top, Width and Height but not all: the player places or
// sizes the element by what the file does not say. A line that misspells one
// has said so already.
void ElementCheck::Completeness(const SkinElement& element) {
  const std::string name = Cp1252ToUtf8(element.name);
  for (const CheckFinding& finding : findings_) {
    if (finding.element == name && (finding.kind == kPropertyCase || finding.kind == kNoValue)) {
      return;
    }
  }
  std::string given, missing;
  for (std::size_t i = 0; i < element.placed.size(); ++i) {
    std::string& list = element.placed[i] ? given : missing;
    list += (list.empty() ? "" : ", ") + std::string(kScaledProperties[i]);
  }
  if (given.empty() || missing.empty()) return;
  Add(element.line, kIncompleteElement, element, "hat " + given + ", aber nicht " + missing);
}

// The size the conversion writes, by its own rule: 0 where it was more.
void ElementCheck::Vanishing(const SkinElement& element, const std::optional<ElementValue>& size,
                             std::string_view size_name) {
  if (!request_.conversion || !size || !(size->value > 0)) return;
  const RewrittenLine rewritten =
      RewriteLine(plain_[size->line - 1], request_.conversion->factors, request_.decimal_separator);
  if (!rewritten.line || GetField(*rewritten.line, 2, "=") != "0") return;
  Add(size->line, kVanishes, element,
      "verschwindet in " + request_.conversion->name + ": " + std::string(size_name) + " " +
          ShortestText(size->value) + " wird 0");
}

}  // namespace

void FindElementFindings(std::span<const std::string> plain, const CheckRequest& request,
                         std::vector<CheckFinding>* findings) {
  ElementCheck check(plain, request, *findings);
  for (const SkinElement& element : ReadSkinElements(plain, request.decimal_separator)) {
    check.Placement(element);
    check.Completeness(element);
    check.Vanishing(element, element.width, "Width");
    check.Vanishing(element, element.height, "Height");
  }
}

}  // namespace fendrix
