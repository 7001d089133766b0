// A whole Skin.vsk as the run reads it: split into lines, each deciphered,
// rewritten for a new resolution and enciphered again. The first byte picks
// the factors, the decimal separator and the size of the reads, the rest is
// the file. Every line is rewritten also by the plain reference of the rule,
// and both must agree.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/bitmap_name/bitmap_path.h"
#include "conversion/skin_text/cipher.h"
#include "conversion/skin_text/factors.h"
#include "conversion/skin_text/line_rewriter.h"
#include "conversion/skin_text/naive_rewrite_reference.h"
#include "fuzz_check.h"
#include "support/file_lines.h"
#include "support/text_lines.h"

namespace {

using fendrix::ComputeFactors;
using fendrix::ConversionFactors;
using fendrix::KeepAspectFactors;

// Shrinking, enlarging, a mixed aspect, a base as small as a folder name
// allows, a new size at the top of the 32-bit range, and layouts that keep
// their proportions, centred across and down.
const std::array<ConversionFactors, 8> kFactorSets = {
    ComputeFactors(1280, 1024, 1024, 768),     ComputeFactors(1024, 768, 1920, 1200),
    ComputeFactors(800, 600, 1280, 1024),      ComputeFactors(32767, 32767, 640, 480),
    ComputeFactors(1, 1, 1920, 1200),          ComputeFactors(1280, 1024, 2147483647, 2147483647),
    KeepAspectFactors(1280, 1024, 1920, 1080), KeepAspectFactors(1920, 1080, 1280, 1024),
};

// The file in memory, handed out at most `piece` bytes per read, so that
// lines and their CR LF ends fall across reads.
class PieceReader : public fendrix::FileReader {
 public:
  PieceReader(std::string_view text, std::size_t piece) : text_(text), piece_(piece) {}

  bool Read(char* into, std::size_t size, std::size_t* got, std::string*) override {
    *got = std::min({size, piece_, text_.size()});
    std::memcpy(into, text_.data(), *got);
    text_.remove_prefix(*got);
    return true;
  }

 private:
  std::string_view text_;
  std::size_t piece_;
};

void CheckLine(std::string_view stored, const ConversionFactors& factors, char separator) {
  std::string line(stored);
  fendrix::CryptLine(line, fendrix::kSkinKey);
  FUZZ_CHECK(line.size() == stored.size());
  std::string again = line;
  fendrix::CryptLine(again, fendrix::kSkinKey);
  FUZZ_CHECK(again == stored);

  fendrix::RewrittenLine rewritten = fendrix::RewriteLine(line, factors, separator);
  const fendrix::testing::NaiveRewrite expected =
      fendrix::testing::NaiveRewriteLine(line, factors, separator);
  FUZZ_CHECK(rewritten.line == expected.line);
  FUZZ_CHECK(rewritten.names_bitmap == expected.bitmap.has_value());
  FUZZ_CHECK(!rewritten.names_bitmap || rewritten.bitmap == *expected.bitmap);
  FUZZ_CHECK(rewritten.warning.empty() != expected.kept);
  if (line.empty()) return;
  if (rewritten.names_bitmap) {
    FUZZ_CHECK(rewritten.line->ends_with(".bmp"));
    std::filesystem::path relative;
    std::string why;
    fendrix::ResolveBitmapPath(rewritten.bitmap, &relative, &why);
  }
  // A rewritten line is never longer than the line plus the digits of a
  // 32-bit number and ".bmp": scaling replaces a value, it never grows
  // without bound.
  FUZZ_CHECK(rewritten.line->size() <= line.size() + 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const ConversionFactors& factors = kFactorSets[data[0] % kFactorSets.size()];
  const char separator = (data[0] / kFactorSets.size()) % 2 ? '.' : ',';
  const std::size_t piece = 1 + data[0] / (2 * kFactorSets.size());
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  fendrix::LineReader reader(text);
  std::vector<std::string> lines;
  std::size_t bytes = 0;
  for (std::string_view stored; reader.Next(&stored);) {
    FUZZ_CHECK(stored.find('\r') == std::string_view::npos);
    FUZZ_CHECK(stored.data() >= text.data() &&
               stored.data() + stored.size() <= text.data() + text.size());
    bytes += stored.size();
    lines.emplace_back(stored);
    CheckLine(stored, factors, separator);
  }
  FUZZ_CHECK(bytes <= text.size());

  // Read from a file the run's way, the same lines.
  PieceReader file(text, piece);
  fendrix::FileLineReader file_reader(file, "Skin.vsk");
  std::size_t at = 0;
  for (std::string_view stored; file_reader.Next(&stored); ++at) {
    FUZZ_CHECK(at < lines.size() && stored == lines[at]);
  }
  FUZZ_CHECK(file_reader.error().empty() && at == lines.size());

  // Counted whole, and in pieces, which may split a CR from its LF.
  fendrix::LineCounter whole, pieces;
  whole.Add(text);
  for (std::size_t from = 0; from < text.size(); from += 7) pieces.Add(text.substr(from, 7));
  FUZZ_CHECK(whole.count() == lines.size() && pieces.count() == lines.size());
  return 0;
}
