// Our own BMP decoder, the one every skin bitmap of the usual kind goes
// through, and the scaler on what it decodes. A plain 24-bit BMP the scaler
// samples where its rows lie in the file, without decoding it: that path
// must see the very picture DecodeBmp makes, inside the file's bytes.

#include <cstring>

#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/bmp_writer.h"
#include "picture_checks.h"

namespace {

void CheckRowsInPlace(std::span<const std::uint8_t> data) {
  fendrix::PixelRows rows;
  if (!fendrix::FindBmp24Rows(data, &rows)) return;
  fendrix::Image decoded;
  std::string reason;
  FUZZ_CHECK(fendrix::DecodeBmp(data, &decoded, &reason));
  FUZZ_CHECK(rows.width == decoded.width && rows.height == decoded.height);
  const std::size_t row_bytes = static_cast<std::size_t>(rows.width) * 3;
  for (std::int32_t y = 0; y < rows.height; ++y) {
    // Out-of-bounds rows show as an ASan report on libFuzzer's exact buffer.
    FUZZ_CHECK(std::memcmp(rows.Row(y), decoded.Row(y), row_bytes) == 0);
  }

  const auto width = static_cast<std::int32_t>(1 + data.size() * 5 % 17);
  const auto height = static_cast<std::int32_t>(1 + data.size() * 11 % 13);
  std::string file;
  for (fendrix::StretchFilter filter :
       {fendrix::StretchFilter::kNearest, fendrix::StretchFilter::kSmooth}) {
    fendrix::StretchRows(rows, fendrix::PrepareBmp24(width, height, &file), filter);
    FUZZ_CHECK(file == fendrix::EncodeBmp24(fendrix::Stretch(decoded, width, height, filter)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fendrix::fuzz::CheckDecoder(data, size, fendrix::DecodeBmp);
  CheckRowsInPlace(std::span<const std::uint8_t>(data, size));
  return 0;
}
