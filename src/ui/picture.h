// Pictures as arrays of 32-bit pixels, and JPEG decoding into them (libjpeg).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace autoshutdown {

// Rows top-down, `width` pixels each, no padding. A pixel is 0xAARRGGBB, not
// premultiplied: QImage::Format_ARGB32, and in memory on a little-endian
// machine the B, G, R, A bytes of a top-down 32-bpp Windows DIB.
struct ArgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool empty() const { return pixels.empty(); }
};

// Decodes a baseline or progressive JPEG (greyscale, YCbCr, RGB, CMYK or YCCK)
// into opaque pixels. Anything libjpeg finds wrong, even what it would only
// warn about (a truncated or corrupt stream), and pictures larger than
// kMaxJpegPixels give an empty image; nothing is printed and the process
// never exits.
ArgbImage DecodeJpeg(std::span<const std::uint8_t> jpeg);

inline constexpr std::uint64_t kMaxJpegPixels = 4096 * 4096;

}  // namespace autoshutdown
