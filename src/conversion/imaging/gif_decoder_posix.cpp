#include "conversion/imaging/platform_decoders.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace fendrix {
namespace {

struct Reader {
  std::span<const std::uint8_t> data;
  std::size_t position = 0;
};

int Read(GifFileType* gif, GifByteType* buffer, int wanted) {
  Reader* reader = static_cast<Reader*>(gif->UserData);
  std::size_t n = std::min<std::size_t>(wanted, reader->data.size() - reader->position);
  std::memcpy(buffer, reader->data.data() + reader->position, n);
  reader->position += n;
  return static_cast<int>(n);
}

struct Closer {
  void operator()(GifFileType* gif) const {
    int error;
    DGifCloseFile(gif, &error);
  }
};

bool Fail(int error, std::string* reason) {
  *reason = error == D_GIF_ERR_READ_FAILED ? "abgeschnitten" : "beschädigt";
  return false;
}

// The rows of a frame in the order the file stores them.
std::vector<std::int32_t> StoredRowOrder(std::int32_t height, bool interlaced) {
  std::vector<std::int32_t> order;
  order.reserve(height);
  if (!interlaced) {
    for (std::int32_t y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr std::int32_t kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (std::int32_t y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  }
  return order;
}

bool DecodeFrame(GifFileType* gif, const GifPlacement& placement, int transparent, Image* image,
                 std::string* reason) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return Fail(gif->Error, reason);
  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!map || frame.Left != placement.frame_left || frame.Top != placement.frame_top ||
      frame.Width != placement.frame_width || frame.Height != placement.frame_height) {
    *reason = "beschädigt";
    return false;
  }
  Image canvas = MakeGifCanvas(placement);
  std::vector<GifPixelType> line(frame.Width);
  for (std::int32_t y : StoredRowOrder(frame.Height, frame.Interlace)) {
    if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return Fail(gif->Error, reason);
    std::uint8_t* d = canvas.Row(frame.Top + y) + frame.Left * 3;
    for (GifPixelType index : line) {
      if (index >= map->ColorCount) {
        *reason = "Palettenindex außerhalb der Palette";
        return false;
      }
      if (index != transparent) {
        const GifColorType& c = map->Colors[index];
        d[0] = c.Blue;
        d[1] = c.Green;
        d[2] = c.Red;
      }
      d += 3;
    }
  }
  *image = std::move(canvas);
  return true;
}

}  // namespace

bool DecodeGif(std::span<const std::uint8_t> data, const GifPlacement& placement, Image* image,
               std::string* reason) {
  Reader reader{data};
  int error = 0;
  std::unique_ptr<GifFileType, Closer> gif(DGifOpen(&reader, Read, &error));
  if (!gif) return Fail(error, reason);
  int transparent = NO_TRANSPARENT_COLOR;
  while (true) {
    GifRecordType type;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return Fail(gif->Error, reason);
    if (type == IMAGE_DESC_RECORD_TYPE)
      return DecodeFrame(gif.get(), placement, transparent, image, reason);
    if (type == TERMINATE_RECORD_TYPE) {
      *reason = "beschädigt";
      return false;
    }
    // Anything else DGifGetRecordType returns is an extension.
    int code;
    GifByteType* block;
    if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) return Fail(gif->Error, reason);
    // Only a control block of exactly 4 bytes is read, as the Windows decoder
    // reads it; giflib refuses any other length and leaves `control` unset.
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4) {
      GraphicsControlBlock control{};
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
        transparent = control.TransparentColor;
      }
    }
    while (block) {
      if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) return Fail(gif->Error, reason);
    }
  }
}

}  // namespace fendrix
