// Windows icon files (.ico): picks the image the tray and window icon use and
// decodes it, on any platform, without trusting a single field of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "ui/picture.h"

namespace autoshutdown {

struct IconImage {
  // A bitmap image decoded: size from its BITMAPINFOHEADER, transparent pixels
  // (AND mask set, or alpha 0 in a 32-bpp image) 0x00000000. A PNG image
  // (Windows Vista and later) is not decoded here: `image` has the size from
  // its IHDR and no pixels, and the backend decodes the PNG bytes itself.
  ArgbImage image;
  bool is_png = false;
  // Where the chosen image lies in the file: the bytes CreateIconFromResourceEx
  // takes, and the PNG stream of a PNG image.
  std::size_t offset = 0;
  std::size_t size = 0;
};

// Parses an icon file and decodes the image an icon of it shows: the first
// image 16 pixels wide with more than 15 colours, or else the last image.
//
// An entry's colours are its colorCount when that is not 0; with colorCount 0
// they are 2^bitCount for a bitCount of 1 to 7, and "256 or more" for a
// bitCount of 0 (not given, as PNG entries often have) or 8 and up.
//
// std::nullopt when the bytes are no icon file: wrong header, no images, an
// entry reaching outside the bytes, or a chosen image that is malformed
// (sizes beyond 256, an unsupported depth or compression, data missing).
// Bitmap depths 1, 4, 8, 24 and 32 are decoded. Never reads outside `file`.
std::optional<IconImage> ParseIconFile(std::span<const std::uint8_t> file);

}  // namespace autoshutdown
