#include "conversion/imaging/platform_decoders.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace fendrix {
namespace {

// libjpeg reports a fatal error by calling error_exit, which by default ends
// the program; ours jumps back into Decompress instead.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are recoverable damage; libjpeg would print them to stderr.
void OnMessage(j_common_ptr) {}

void CmykToBgr(const JSAMPLE* cmyk, bool inverted, std::int32_t width, std::uint8_t* bgr) {
  for (std::int32_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    // Adobe's files store 255 for no ink; without its marker 0 means no ink.
    unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    bgr[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
    bgr[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
    bgr[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
  }
}

// Every object libjpeg changes lives in the caller's frame, and nothing here
// has a destructor, so the jump back from OnError skips no clean-up.
bool Decompress(jpeg_decompress_struct* info, ErrorManager* errors,
                std::span<const std::uint8_t> data, Image* image, std::string* reason) {
  info->err = jpeg_std_error(&errors->base);
  errors->base.error_exit = OnError;
  errors->base.output_message = OnMessage;
  if (setjmp(errors->jump)) {
    jpeg_destroy_decompress(info);
    *reason = "beschädigt";
    return false;
  }
  jpeg_create_decompress(info);
  jpeg_mem_src(info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(info, TRUE);
  if (!ImageSizeAllowed(info->image_width, info->image_height)) {
    *reason = "zu groß: " + std::to_string(info->image_width) + " x " +
              std::to_string(info->image_height) + " Pixel";
    jpeg_destroy_decompress(info);
    return false;
  }
  switch (info->jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
      info->out_color_space = JCS_EXT_BGR;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      info->out_color_space = JCS_CMYK;
      break;
    default:
      *reason = "nicht unterstütztes JPEG-Farbmodell";
      jpeg_destroy_decompress(info);
      return false;
  }
  jpeg_start_decompress(info);
  image->width = static_cast<std::int32_t>(info->output_width);
  image->height = static_cast<std::int32_t>(info->output_height);
  image->pixels.resize(static_cast<std::size_t>(image->width) * image->height * 3);
  const bool cmyk = info->out_color_space == JCS_CMYK;
  JSAMPARRAY cmyk_row = cmyk ? (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info),
                                                          JPOOL_IMAGE, info->output_width * 4, 1)
                             : nullptr;
  while (info->output_scanline < info->output_height) {
    const std::int32_t y = static_cast<std::int32_t>(info->output_scanline);
    JSAMPROW row = cmyk ? cmyk_row[0] : image->Row(y);
    jpeg_read_scanlines(info, &row, 1);
    if (cmyk) CmykToBgr(cmyk_row[0], info->saw_Adobe_marker, image->width, image->Row(y));
  }
  jpeg_finish_decompress(info);
  jpeg_destroy_decompress(info);
  return true;
}

}  // namespace

bool DecodeJpeg(std::span<const std::uint8_t> data, Image* image, std::string* reason) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  Image decoded;
  if (!Decompress(&info, &errors, data, &decoded, reason)) return false;
  *image = std::move(decoded);
  return true;
}

}  // namespace fendrix
