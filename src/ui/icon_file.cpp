// Icon file parsing: directory, image choice, BITMAPINFOHEADER bitmaps and PNG headers.
#include "ui/icon_file.h"

#include <algorithm>
#include <array>

namespace autoshutdown {
namespace {

constexpr int kMaxIconSide = 256;
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later versions are longer
constexpr std::uint32_t kUncompressed = 0;   // BI_RGB
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Reads from bytes whose length the caller has checked.
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::uint32_t Be32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

// Stride of a DIB row: rows are padded to whole 32-bit words.
std::size_t RowBytes(int width, int bits_per_pixel) {
  return (static_cast<std::size_t>(width) * bits_per_pixel + 31) / 32 * 4;
}

bool MoreThan15Colours(std::uint8_t color_count, std::uint16_t bit_count) {
  if (color_count != 0) return color_count > 15;
  return bit_count == 0 || bit_count >= 4;  // 2^4 = 16 is the first depth above 15
}

bool IsPng(std::span<const std::uint8_t> image) {
  return image.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin());
}

// A PNG's size from its first chunk, which must be IHDR.
std::optional<ArgbImage> PngSize(std::span<const std::uint8_t> png) {
  constexpr std::size_t kIhdrEnd = 8 + 4 + 4 + 4 + 4;  // signature, length, type, width, height
  if (png.size() < kIhdrEnd || !std::equal(png.begin() + 12, png.begin() + 16, "IHDR")) {
    return std::nullopt;
  }
  const std::uint32_t width = Be32(png.data() + 16);
  const std::uint32_t height = Be32(png.data() + 20);
  if (width < 1 || width > kMaxIconSide || height < 1 || height > kMaxIconSide) return std::nullopt;
  return ArgbImage{static_cast<int>(width), static_cast<int>(height), {}};
}

// Decodes a DIB: header, palette (<= 8 bpp), XOR bitmap bottom-up, then the
// 1-bpp AND mask; its height field counts both bitmaps, so it is doubled.
std::optional<ArgbImage> DecodeBitmap(std::span<const std::uint8_t> dib) {
  if (dib.size() < kInfoHeaderSize) return std::nullopt;
  const std::uint8_t* header = dib.data();
  const std::uint32_t header_size = Le32(header);
  const auto width = static_cast<std::int32_t>(Le32(header + 4));
  const auto doubled_height = static_cast<std::int32_t>(Le32(header + 8));
  const int bit_count = Le16(header + 14);
  const std::uint32_t compression = Le32(header + 16);
  const std::uint32_t colours_used = Le32(header + 32);

  if (header_size < kInfoHeaderSize || header_size > dib.size()) return std::nullopt;
  if (width < 1 || width > kMaxIconSide || doubled_height < 2 ||
      doubled_height > 2 * kMaxIconSide || doubled_height % 2 != 0) {
    return std::nullopt;
  }
  if (compression != kUncompressed) return std::nullopt;
  if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 24 && bit_count != 32) {
    return std::nullopt;
  }
  if (colours_used > 256) return std::nullopt;
  const int height = doubled_height / 2;
  const std::size_t palette_entries =
      colours_used != 0 ? colours_used : bit_count <= 8 ? std::size_t{1} << bit_count : 0;
  const std::size_t xor_stride = RowBytes(width, bit_count);
  const std::size_t and_stride = RowBytes(width, 1);
  // Every term is bounded (sides <= 256, header within the span): no overflow.
  const std::size_t palette_offset = header_size;
  const std::size_t xor_offset = palette_offset + palette_entries * 4;
  const std::size_t and_offset = xor_offset + xor_stride * height;
  if (and_offset + and_stride * height > dib.size()) return std::nullopt;

  const std::uint8_t* palette = dib.data() + palette_offset;
  auto palette_colour = [&](std::size_t index) -> std::uint32_t {
    if (index >= palette_entries) return 0xFF000000;  // beyond a short palette: black
    const std::uint8_t* bgr = palette + index * 4;
    return 0xFF000000 | std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
  };

  ArgbImage image{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
  bool any_alpha = false;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = dib.data() + xor_offset + (height - 1 - y) * xor_stride;
    std::uint32_t* out = image.pixels.data() + std::size_t(y) * width;
    for (int x = 0; x < width; ++x) {
      switch (bit_count) {
        case 32: {
          const std::uint8_t* p = row + x * 4;
          out[x] = std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 |
                   std::uint32_t{p[1]} << 8 | p[0];
          any_alpha = any_alpha || p[3] != 0;
          break;
        }
        case 24: {
          const std::uint8_t* p = row + x * 3;
          out[x] = 0xFF000000 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
          break;
        }
        default: {  // 1, 4 or 8 bits, the leftmost pixel in the high bits
          const std::size_t bit = std::size_t(x) * bit_count;
          const int shift = 8 - bit_count - static_cast<int>(bit % 8);
          out[x] = palette_colour((row[bit / 8] >> shift) & ((1 << bit_count) - 1));
        }
      }
    }
  }

  // The mask decides transparency, except in a 32-bpp image with an alpha
  // channel; 32-bpp images from before alpha icons have all alpha 0.
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* mask = dib.data() + and_offset + (height - 1 - y) * and_stride;
    std::uint32_t* out = image.pixels.data() + std::size_t(y) * width;
    for (int x = 0; x < width; ++x) {
      const bool masked = (mask[x / 8] >> (7 - x % 8)) & 1;
      if (any_alpha) {
        if (out[x] >> 24 == 0) out[x] = 0;
      } else if (masked) {
        out[x] = 0;
      } else {
        out[x] |= 0xFF000000;
      }
    }
  }
  return image;
}

}  // namespace

std::optional<IconImage> ParseIconFile(std::span<const std::uint8_t> file) {
  if (file.size() < kDirectorySize) return std::nullopt;
  const std::uint16_t reserved = Le16(file.data());
  const std::uint16_t type = Le16(file.data() + 2);
  const std::size_t count = Le16(file.data() + 4);
  if (reserved != 0 || type != 1 || count == 0) return std::nullopt;
  if (kDirectorySize + count * kEntrySize > file.size()) return std::nullopt;

  std::size_t chosen = count - 1;
  bool found_16 = false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = file.data() + kDirectorySize + i * kEntrySize;
    const std::uint32_t size = Le32(entry + 8);
    const std::uint32_t offset = Le32(entry + 12);
    if (offset > file.size() || size > file.size() - offset) return std::nullopt;
    if (!found_16 && entry[0] == 16 && MoreThan15Colours(entry[2], Le16(entry + 6))) {
      chosen = i;
      found_16 = true;
    }
  }

  const std::uint8_t* entry = file.data() + kDirectorySize + chosen * kEntrySize;
  IconImage icon;
  icon.size = Le32(entry + 8);
  icon.offset = Le32(entry + 12);
  const auto bytes = file.subspan(icon.offset, icon.size);
  icon.is_png = IsPng(bytes);
  auto image = icon.is_png ? PngSize(bytes) : DecodeBitmap(bytes);
  if (!image) return std::nullopt;
  icon.image = std::move(*image);
  return icon;
}

}  // namespace autoshutdown
