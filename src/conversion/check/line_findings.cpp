#include "conversion/check/line_findings.h"

#include <optional>
#include <string_view>
#include <unordered_map>

#include "conversion/bitmap_name/bitmap_keys.h"
#include "conversion/check/split_lines.h"
#include "conversion/skin_text/line_rewriter.h"
#include "conversion/skin_text/scaled_properties.h"
#include "conversion/skin_text/skin_elements.h"
#include "support/code_page.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// The one of `known` that `word` spells in other letter case.
template <std::size_t N>
std::optional<std::string_view> OtherCaseOf(std::string_view word,
                                            const std::array<std::string_view, N>& known) {
  const std::string lower = AsciiLower(word);
  for (std::string_view name : known) {
    if (name != word && AsciiLower(name) == lower) return name;
  }
  return std::nullopt;
}

// How a scaled value reads under each decimal separator, when that differs:
// "mit Dezimalpunkt 10.5, mit Dezimalkomma keine Zahl".
std::optional<std::string> SeparatorDependence(std::string_view value) {
  const std::optional<double> point = ReadScaledValue(value, '.');
  const std::optional<double> comma = ReadScaledValue(value, ',');
  if (point == comma) return std::nullopt;
  auto reading = [](const std::optional<double>& number) {
    return number ? ShortestText(*number) : std::string("keine Zahl");
  };
  std::string how = "mit Dezimalpunkt " + reading(point) + ", mit Dezimalkomma " + reading(comma);
  if (!point || !comma) how += ", und wo er keine Zahl ist, bleibt er unskaliert";
  // Stored files may always write a comma: every PC reads it alike.
  const std::string with_comma = ReplaceAll(value, ".", ",");
  if (point && ReadScaledValue(with_comma, '.') == point &&
      ReadScaledValue(with_comma, ',') == point) {
    how += "; mit Komma geschrieben (" + Cp1252ToUtf8(with_comma) + ") gilt er überall";
  }
  return how;
}

class LineCheck {
 public:
  LineCheck(char decimal_separator, std::vector<CheckFinding>& findings,
            std::vector<NamedBitmap>& bitmaps)
      : decimal_separator_(decimal_separator), findings_(findings), bitmaps_(bitmaps) {}

  void Line(std::size_t number, const std::string& line);
  void End();

 private:
  void Add(std::optional<std::size_t> line, std::string_view kind, std::string text,
           std::string_view element = {}) {
    findings_.push_back(
        {line, std::string(kind), std::nullopt, std::move(text), Cp1252ToUtf8(element)});
  }
  // A key as "element.property", or a key without a dot (element empty).
  struct Key {
    std::string text;
    bool dotted = false;
    std::string element;
    std::string property;
  };
  static Key Parse(std::string text) {
    const bool dotted = text.find('.') != std::string::npos;
    std::string element = dotted ? GetField(text, 1, ".") : "";
    std::string property = dotted ? GetField(text, 2, ".") : "";
    return {std::move(text), dotted, std::move(element), std::move(property)};
  }
  void WithoutValue(std::size_t number, const std::string& line);
  void LetterCase(std::size_t number, const Key& key);
  void Value(std::size_t number, const std::string& line, const Key& key);

  char decimal_separator_;
  std::vector<CheckFinding>& findings_;
  std::vector<NamedBitmap>& bitmaps_;
  std::unordered_map<std::string, std::size_t> first_line_;
  bool background_ = false;
};

void LineCheck::Line(std::size_t number, const std::string& line) {
  if (line.find('=') == std::string::npos) return WithoutValue(number, line);
  const Key key = Parse(GetField(line, 1, "="));
  if (auto [at, added] = first_line_.try_emplace(key.text, number); !added && !key.text.empty()) {
    Add(number, kDuplicateKey,
        "Schlüssel steht schon in Zeile " + std::to_string(at->second) + ": " +
            Cp1252ToUtf8(key.text),
        key.element);
  }
  LetterCase(number, key);
  Value(number, line, key);
}

// "Regler.Top 200": a key, but no "=", so the line carries nothing.
void LineCheck::WithoutValue(std::size_t number, const std::string& line) {
  const std::string word = line.substr(0, line.find_first_of(" \t:"));
  if (!IsKeyText(word)) return;
  const bool dotted = !GetField(word, 1, ".").empty() && !GetField(word, 2, ".").empty();
  if (!dotted && !IsBitmapKey(word) && !OtherCaseOf(word, kBitmapKeys)) return;
  Add(number, kNoValue,
      "Zeile ohne „=“, sie gibt keinen Wert und wird unverändert übernommen: " + Cp1252ToUtf8(line),
      dotted ? GetField(word, 1, ".") : "");
}

// "Titel.left=10", "gfxhintergrund=...": known to the conversion only in
// its own letter case, so it is not converted.
void LineCheck::LetterCase(std::size_t number, const Key& key) {
  if (!key.dotted) {
    if (auto known = OtherCaseOf(key.text, kBitmapKeys)) {
      Add(number, kPropertyCase,
          "Schlüssel " + Cp1252ToUtf8(key.text) + " ist nicht " + Cp1252ToUtf8(*known) +
              " (Groß- und Kleinschreibung zählen): das Bild wird nicht skaliert");
    }
    return;
  }
  if (auto known = OtherCaseOf(key.property, kScaledProperties)) {
    Add(number, kPropertyCase,
        "Eigenschaft " + Cp1252ToUtf8(key.property) + " ist nicht " + std::string(*known) +
            " (Groß- und Kleinschreibung zählen): der Wert wird nicht umgerechnet: " +
            Cp1252ToUtf8(key.text),
        key.element);
  }
}

void LineCheck::Value(std::size_t number, const std::string& line, const Key& key) {
  if (key.dotted && FindScaledProperty(key.property)) {
    if (auto how = SeparatorDependence(GetField(line, 2, "="))) {
      Add(number, kLocaleNumber,
          "Der Wert hängt vom Zahlenformat des PCs ab: " + Cp1252ToUtf8(line) + " ist " + *how,
          key.element);
      return;
    }
  }
  // Only dotted keys and bitmap keys are rewritten. Factors of 1: a value
  // the conversion would keep with a warning is kept at any factor, short of
  // a number near the 32-bit limit.
  if (!key.dotted && !IsBitmapKey(key.text)) return;
  const RewrittenLine rewritten = RewriteLine(line, ConversionFactors{1, 1, 1}, decimal_separator_);
  if (!rewritten.warning.empty()) {
    Add(number, kNotANumber, rewritten.warning, key.dotted ? key.element : key.text);
  }
  if (rewritten.names_bitmap) bitmaps_.push_back({rewritten.bitmap, number});
  background_ = background_ || rewritten.background;
}

void LineCheck::End() {
  if (background_) return;
  Add(std::nullopt, kNoBackground,
      "Keine Zeile " + Cp1252ToUtf8(kBackgroundKey) +
          ": der Skin hat keinen Hintergrund, eine Umwandlung skaliert keinen");
}

}  // namespace

void FindLineFindings(std::span<const std::string> plain, const std::vector<bool>& noise,
                      char decimal_separator, std::vector<CheckFinding>* findings,
                      std::vector<NamedBitmap>* bitmaps) {
  LineCheck check(decimal_separator, *findings, *bitmaps);
  for (std::size_t i = 0; i < plain.size(); ++i) {
    if (!plain[i].empty() && !(i < noise.size() && noise[i])) check.Line(i + 1, plain[i]);
  }
  check.End();
}

}  // namespace fendrix
