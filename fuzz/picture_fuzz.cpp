// The picture loader as the run calls it: JPEG and GIF through libjpeg-turbo
// and giflib (proving how we drive them: error exits, truncation, frame
// placement), BMP through our own decoder, and the scaler on the result.

#include "conversion/imaging/picture_decoder.h"
#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fendrix::fuzz::CheckDecoder(data, size, fendrix::DecodePicture);
  return 0;
}
