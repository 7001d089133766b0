// A whole Skin.vsk as the run reads it: split into lines, each deciphered,
// rewritten for a new resolution and enciphered again. The first byte picks
// the factors and the decimal separator, the rest is the file.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/bitmap_name/bitmap_path.h"
#include "conversion/skin_text/cipher.h"
#include "conversion/skin_text/factors.h"
#include "conversion/skin_text/line_rewriter.h"
#include "fuzz_check.h"
#include "support/text_lines.h"

namespace {

using fendrix::ComputeFactors;
using fendrix::ConversionFactors;

const fendrix::LineMask kMask(fendrix::kSkinKey);

// Shrinking, enlarging, a mixed aspect, a base as small as a folder name
// allows, and a new size at the top of the 32-bit range.
const std::array<ConversionFactors, 6> kFactorSets = {
    ComputeFactors(1280, 1024, 1024, 768), ComputeFactors(1024, 768, 1920, 1200),
    ComputeFactors(800, 600, 1280, 1024),  ComputeFactors(32767, 32767, 640, 480),
    ComputeFactors(1, 1, 1920, 1200),      ComputeFactors(1280, 1024, 2147483647, 2147483647),
};

// The run writes a rewritten line in two pieces, the front of the line that
// stays and the tail its LineRewriter wrote, each enciphered at its place in
// the line; together they must be the rewritten line enciphered whole. The
// run's rewriter has seen the lines before and copies values it has scaled
// already; RewriteLine starts afresh, so the two also check each other. The
// tail buffer has exactly the room Rewrite may use, so ASan sees a byte
// written past it.
void CheckTwoPieceRewrite(std::string_view line, fendrix::LineRewriter& rewriter,
                          const ConversionFactors& factors, char separator) {
  std::vector<char> tail(line.size() + fendrix::kRewriteGrowth);
  // Exactly the padding Rewrite may read, for ASan to watch too.
  std::vector<char> padded(line.size() + fendrix::kLinePadding);
  std::copy(line.begin(), line.end(), padded.begin());
  fendrix::LineRewrite got;
  rewriter.Rewrite({padded.data(), line.size()}, tail.data(), &got);
  fendrix::RewrittenLine expected = fendrix::RewriteLine(line, factors, separator);
  FUZZ_CHECK(got.written == expected.line.has_value());
  if (!got.written) return;
  FUZZ_CHECK(got.kept <= line.size() && got.tail <= tail.size());
  std::string written(got.kept + got.tail, '\0');
  kMask.Apply(line.data(), written.data(), got.kept);
  kMask.Apply(tail.data(), written.data() + got.kept, got.tail, got.kept);
  std::string enciphered = *expected.line;
  fendrix::CryptLine(enciphered, fendrix::kSkinKey);
  FUZZ_CHECK(written == enciphered);
}

void CheckLine(std::string_view stored, fendrix::LineRewriter& rewriter,
               const ConversionFactors& factors, char separator) {
  std::string line(stored);
  fendrix::CryptLine(line, fendrix::kSkinKey);
  FUZZ_CHECK(line.size() == stored.size());
  std::string again = line;
  fendrix::CryptLine(again, fendrix::kSkinKey);
  FUZZ_CHECK(again == stored);

  CheckTwoPieceRewrite(line, rewriter, factors, separator);
  fendrix::RewrittenLine rewritten = fendrix::RewriteLine(line, factors, separator);
  if (line.empty()) {
    FUZZ_CHECK(!rewritten.line && !rewritten.names_bitmap);
    return;
  }
  FUZZ_CHECK(rewritten.line.has_value());
  if (rewritten.names_bitmap) {
    FUZZ_CHECK(rewritten.line->ends_with(".bmp"));
    std::filesystem::path relative;
    std::string why;
    fendrix::ResolveBitmapPath(rewritten.bitmap, &relative, &why);
  }
  // A rewritten line is never longer than the line plus the digits of a
  // 32-bit number: scaling replaces a value, it never grows without bound.
  FUZZ_CHECK(rewritten.line->size() <= line.size() + fendrix::kRewriteGrowth);
  fendrix::CryptLine(*rewritten.line, fendrix::kSkinKey);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const ConversionFactors& factors = kFactorSets[data[0] % kFactorSets.size()];
  const char separator = (data[0] / kFactorSets.size()) % 2 ? '.' : ',';
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  fendrix::LineReader reader(text);
  fendrix::LineRewriter rewriter(factors, separator);
  std::size_t lines = 0, bytes = 0;
  for (std::string_view stored; reader.Next(&stored);) {
    ++lines;
    FUZZ_CHECK(stored.find('\r') == std::string_view::npos);
    FUZZ_CHECK(stored.data() >= text.data() &&
               stored.data() + stored.size() <= text.data() + text.size());
    bytes += stored.size();
    CheckLine(stored, rewriter, factors, separator);
  }
  // Counted whole, and in pieces, which may split a CR from its LF.
  fendrix::LineCounter whole, pieces;
  whole.Add(text);
  for (std::size_t at = 0; at < text.size(); at += 7) pieces.Add(text.substr(at, 7));
  FUZZ_CHECK(whole.count() == lines && pieces.count() == lines);
  FUZZ_CHECK(bytes <= text.size());
  return 0;
}
