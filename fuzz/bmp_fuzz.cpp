// Our own BMP decoder, the one every skin bitmap of the usual kind goes
// through, and the scaler on what it decodes.

#include "conversion/bmp_codec.h"
#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fendrix::fuzz::CheckDecoder(data, size, fendrix::DecodeBmp);
  return 0;
}
