#include "conversion/imaging/stretch.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fendrix {
namespace {

// Filter weights are fixed point with this many fraction bits; the weights of
// one target pixel add up to exactly 1 << kWeightBits.
constexpr int kWeightBits = 14;
constexpr std::int32_t kOne = 1 << kWeightBits;
// The horizontal pass keeps this many fraction bits for the vertical one.
constexpr int kMidBits = 8;

// The source pixel that target pixel `i` of `target` takes along one axis:
// floor((i + 0.5) * source / target).
std::vector<std::int32_t> NearestIndices(std::int32_t source, std::int32_t target) {
  std::vector<std::int32_t> indices(target);
  const std::int64_t step = 2LL * source, denominator = 2LL * target;
  std::int64_t numerator = source;  // (2i + 1) * source
  std::int64_t index = 0;
  for (std::int32_t i = 0; i < target; ++i, numerator += step) {
    while ((index + 1) * denominator <= numerator) ++index;
    indices[i] = static_cast<std::int32_t>(index);
  }
  return indices;
}

void StretchNearest(const PixelRows& source, const MutablePixelRows& target) {
  std::vector<std::int32_t> columns = NearestIndices(source.width, target.width);
  for (std::int32_t& c : columns) c *= 3;
  const std::vector<std::int32_t> rows = NearestIndices(source.height, target.height);
  const std::size_t row_bytes = static_cast<std::size_t>(target.width) * 3;
  const std::int32_t source_bytes = source.width * 3;
  for (std::int32_t y = 0; y < target.height; ++y) {
    std::uint8_t* d = target.Row(y);
    if (y > 0 && rows[y] == rows[y - 1]) {
      std::memcpy(d, target.Row(y - 1), row_bytes);
      continue;
    }
    // Four bytes at a time, the fourth overwritten by the next pixel; the
    // last pixel, and any whose fourth byte lies past the source row, take
    // three.
    const std::uint8_t* s = source.Row(rows[y]);
    std::int32_t x = 0;
    for (; x + 1 < target.width && columns[x] + 4 <= source_bytes; ++x, d += 3) {
      std::memcpy(d, s + columns[x], 4);
    }
    for (; x < target.width; ++x, d += 3) std::memcpy(d, s + columns[x], 3);
  }
}

// For each target pixel along one axis: the contiguous source pixels it reads
// and their weights.
struct Taps {
  std::vector<std::int32_t> first;
  std::vector<std::int32_t> count;
  std::vector<std::int32_t> weights;  // count[i] entries per target pixel, in order
  std::int32_t max_count = 0;

  void Add(std::int32_t start, std::vector<std::int32_t>& w) {
    // Fixed-point rounding may miss 1 << kWeightBits by a little; the largest
    // weight takes the difference so flat areas stay exactly flat.
    std::int32_t sum = 0;
    for (std::int32_t v : w) sum += v;
    *std::max_element(w.begin(), w.end()) += kOne - sum;
    first.push_back(start);
    count.push_back(static_cast<std::int32_t>(w.size()));
    weights.insert(weights.end(), w.begin(), w.end());
    max_count = std::max(max_count, static_cast<std::int32_t>(w.size()));
  }
};

// Shrinking: each target pixel averages the source area it covers, partly
// covered pixels by their share. Enlarging: linear between the two nearest
// source pixel centres, clamped at the edges.
Taps MakeTaps(std::int32_t source, std::int32_t target) {
  Taps taps;
  std::vector<std::int32_t> w;
  if (target < source) {
    // In units of 1/target source pixels: target pixel i spans
    // [i * source, (i + 1) * source), source pixel j spans [j * target, (j + 1) * target).
    for (std::int64_t i = 0; i < target; ++i) {
      const std::int64_t low = i * source, high = low + source;
      const std::int64_t begin = low / target, end = (high + target - 1) / target;
      w.clear();
      for (std::int64_t j = begin; j < end; ++j) {
        std::int64_t overlap = std::min(high, (j + 1) * target) - std::max(low, j * target);
        w.push_back(static_cast<std::int32_t>((overlap * kOne + source / 2) / source));
      }
      taps.Add(static_cast<std::int32_t>(begin), w);
    }
  } else {
    // The source position of target pixel i is ((2i + 1) * source - target) / (2 * target).
    const std::int64_t denominator = 2LL * target;
    for (std::int64_t i = 0; i < target; ++i) {
      const std::int64_t numerator = (2 * i + 1) * source - target;
      std::int64_t left = numerator < 0 ? 0 : numerator / denominator;
      std::int64_t fraction =
          numerator < 0 ? 0 : ((numerator % denominator) * kOne + target) / denominator;
      if (left >= source - 1 || fraction == 0) {
        w.assign(1, kOne);
        taps.Add(static_cast<std::int32_t>(std::min<std::int64_t>(left, source - 1)), w);
      } else {
        w.assign({static_cast<std::int32_t>(kOne - fraction), static_cast<std::int32_t>(fraction)});
        taps.Add(static_cast<std::int32_t>(left), w);
      }
    }
  }
  return taps;
}

// The horizontal taps with one length for every target pixel, so that the
// inner loop has a fixed count: shorter taps are filled up with zero weights,
// and a tap that would then reach past the end of the row starts further left
// instead. Zero weights add nothing, so every sum is exactly the one of the
// taps as made.
struct EvenTaps {
  std::int32_t length = 0;
  std::vector<std::int32_t> first;    // times 3: the byte offset in the row
  std::vector<std::int32_t> weights;  // `length` entries per target pixel
  // The leading target pixels whose taps may be read four bytes at a time:
  // the last read goes one byte past the last tap, which must stay in the row.
  std::size_t wide_pixels = 0;
};

EvenTaps Even(const Taps& taps, std::int32_t source) {
  EvenTaps even;
  even.length = taps.max_count;
  const std::int32_t* weight = taps.weights.data();
  for (std::size_t i = 0; i < taps.first.size(); ++i) {
    const std::int32_t start = std::min(taps.first[i], source - even.length);
    even.first.push_back(start * 3);
    const std::int32_t lead = taps.first[i] - start;
    even.weights.insert(even.weights.end(), lead, 0);
    even.weights.insert(even.weights.end(), weight, weight + taps.count[i]);
    even.weights.insert(even.weights.end(), even.length - lead - taps.count[i], 0);
    weight += taps.count[i];
    if (start + even.length < source && even.wide_pixels == i) even.wide_pixels = i + 1;
  }
  return even;
}

constexpr int kHorizontalShift = kWeightBits - kMidBits;
constexpr std::uint32_t kHorizontalHalf = 1u << (kHorizontalShift - 1);

#if defined(__SSE2__)
__m128i Load4(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return _mm_cvtsi32_si128(v);
}

// One target pixel with the integer sums of the plain loop below: the bytes
// of two neighbouring taps are interleaved (b0 b1 g0 g1 r0 r1) so that one
// multiply-add weighs both, channel by channel.
void WidePixel(const std::uint8_t* s, const std::int32_t* weight, std::int32_t length,
               std::uint16_t* out) {
  const __m128i zero = _mm_setzero_si128();
  __m128i sum = zero;
  std::int32_t k = 0;
  for (; k + 1 < length; k += 2) {
    const __m128i pair =
        _mm_unpacklo_epi8(_mm_unpacklo_epi8(Load4(s + 3 * k), Load4(s + 3 * k + 3)), zero);
    const __m128i w = _mm_set1_epi32((weight[k] & 0xFFFF) | (weight[k + 1] << 16));
    sum = _mm_add_epi32(sum, _mm_madd_epi16(pair, w));
  }
  if (k < length) {
    const __m128i single = _mm_unpacklo_epi8(_mm_unpacklo_epi8(Load4(s + 3 * k), zero), zero);
    sum = _mm_add_epi32(sum, _mm_madd_epi16(single, _mm_set1_epi32(weight[k] & 0xFFFF)));
  }
  sum = _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(kHorizontalHalf)), kHorizontalShift);
  // Up to 65280 does not fit a signed pack; 32768 lower it does, and
  // flipping the top bit of each 16-bit result puts the 32768 back.
  const __m128i packed = _mm_xor_si128(
      _mm_packs_epi32(_mm_sub_epi32(sum, _mm_set1_epi32(32768)), zero), _mm_set1_epi16(-32768));
  const auto blue_green = static_cast<std::uint32_t>(_mm_cvtsi128_si32(packed));
  std::memcpy(out, &blue_green, 4);
  out[2] = static_cast<std::uint16_t>(_mm_extract_epi16(packed, 2));
}
#endif

// One source row resampled horizontally, with kMidBits fraction bits.
// `kLength` is the taps' length when known when compiling, 0 otherwise.
template <int kLength>
void HorizontalPass(const std::uint8_t* source, const EvenTaps& taps, std::uint16_t* out) {
  const std::int32_t length = kLength > 0 ? kLength : taps.length;
  const std::int32_t* weight = taps.weights.data();
  std::size_t x = 0;
#if defined(__SSE2__)
  for (; x < taps.wide_pixels; ++x, weight += length, out += 3) {
    WidePixel(source + taps.first[x], weight, length, out);
  }
#endif
  for (; x < taps.first.size(); ++x, weight += length, out += 3) {
    const std::uint8_t* s = source + taps.first[x];
    std::uint32_t b = 0, g = 0, r = 0;
    for (std::int32_t k = 0; k < length; ++k, s += 3) {
      const auto w = static_cast<std::uint32_t>(weight[k]);
      b += s[0] * w;
      g += s[1] * w;
      r += s[2] * w;
    }
    out[0] = static_cast<std::uint16_t>((b + kHorizontalHalf) >> kHorizontalShift);
    out[1] = static_cast<std::uint16_t>((g + kHorizontalHalf) >> kHorizontalShift);
    out[2] = static_cast<std::uint16_t>((r + kHorizontalHalf) >> kHorizontalShift);
  }
}

using HorizontalPassFn = void (*)(const std::uint8_t*, const EvenTaps&, std::uint16_t*);

// Shrinking by up to a third and enlarging give taps of 2; shrinking by up to
// a half, 3; these get loops the compiler can unroll.
HorizontalPassFn HorizontalPassFor(std::int32_t length) {
  switch (length) {
    case 1:
      return HorizontalPass<1>;
    case 2:
      return HorizontalPass<2>;
    case 3:
      return HorizontalPass<3>;
    default:
      return HorizontalPass<0>;
  }
}

void StretchSmooth(const PixelRows& source, const MutablePixelRows& target) {
  const EvenTaps columns = Even(MakeTaps(source.width, target.width), source.width);
  const HorizontalPassFn horizontal = HorizontalPassFor(columns.length);
  const Taps rows = MakeTaps(source.height, target.height);

  // Horizontally resampled source rows, kept in a ring: the rows a target row
  // reads are contiguous and never move backwards, so a ring as large as the
  // widest tap holds them all and each source row is resampled once.
  const std::size_t mid_values = static_cast<std::size_t>(target.width) * 3;
  const std::int32_t ring_size = rows.max_count;
  std::vector<std::uint16_t> ring(mid_values * ring_size);
  std::vector<std::int32_t> ring_row(ring_size, -1);
  std::vector<std::uint32_t> sum(mid_values);

  constexpr int kShift = kWeightBits + kMidBits;
  constexpr std::uint32_t kHalf = 1u << (kShift - 1);
  const std::int32_t* weight = rows.weights.data();
  std::vector<const std::uint16_t*> mids(ring_size);
  for (std::int32_t y = 0; y < target.height; ++y) {
    const std::int32_t count = rows.count[y];
    for (std::int32_t k = 0; k < count; ++k) {
      const std::int32_t row = rows.first[y] + k;
      std::uint16_t* mid = ring.data() + mid_values * (row % ring_size);
      if (ring_row[row % ring_size] != row) {
        horizontal(source.Row(row), columns, mid);
        ring_row[row % ring_size] = row;
      }
      mids[k] = mid;
    }
    // One or two rows, as shrinking by up to a half and enlarging take,
    // are summed in the same loop that rounds them.
    std::uint8_t* d = target.Row(y);
    if (count <= 2) {
      const std::uint16_t* m0 = mids[0];
      const std::uint16_t* m1 = count == 2 ? mids[1] : mids[0];
      // Weights fit 16 bits (kOne is 2^14): 16 x 16 bit products the
      // compiler can do eight at a time.
      const auto w0 = static_cast<std::uint16_t>(weight[0]);
      const auto w1 = static_cast<std::uint16_t>(count == 2 ? weight[1] : 0);
      for (std::size_t i = 0; i < mid_values; ++i) {
        const std::uint32_t a = static_cast<std::uint32_t>(m0[i]) * w0;
        const std::uint32_t b = static_cast<std::uint32_t>(m1[i]) * w1;
        d[i] = static_cast<std::uint8_t>((a + b + kHalf) >> kShift);
      }
    } else {
      std::fill(sum.begin(), sum.end(), 0u);
      for (std::int32_t k = 0; k < count; ++k) {
        const std::uint16_t* mid = mids[k];
        const auto w = static_cast<std::uint32_t>(weight[k]);
        for (std::size_t i = 0; i < mid_values; ++i) sum[i] += mid[i] * w;
      }
      for (std::size_t i = 0; i < mid_values; ++i) {
        d[i] = static_cast<std::uint8_t>((sum[i] + kHalf) >> kShift);
      }
    }
    weight += count;
  }
}

}  // namespace

void StretchRows(const PixelRows& source, const MutablePixelRows& target, StretchFilter filter) {
  assert(source.width >= 1 && source.height >= 1 && target.width >= 1 && target.height >= 1);
  if (target.width == source.width && target.height == source.height) {
    for (std::int32_t y = 0; y < target.height; ++y) {
      std::memcpy(target.Row(y), source.Row(y), static_cast<std::size_t>(target.width) * 3);
    }
  } else if (filter == StretchFilter::kNearest) {
    StretchNearest(source, target);
  } else {
    StretchSmooth(source, target);
  }
}

Image Stretch(const Image& source, std::int32_t width, std::int32_t height, StretchFilter filter) {
  Image out;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  StretchRows(ReadRows(source), WriteRows(out), filter);
  return out;
}

}  // namespace fendrix
