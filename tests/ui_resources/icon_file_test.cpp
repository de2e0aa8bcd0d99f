// Icon file parsing: the built-in heart, the image choice, every bitmap depth,
// and malformed files, which must be refused without reading out of bounds.
#include "ui/icon_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "ui/templates/resources.h"

namespace autoshutdown {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8 & 0xFF;
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = v >> 8 * i & 0xFF;
}
void Append16(Bytes& b, std::uint32_t v) {
  b.resize(b.size() + 2);
  Put16(b, b.size() - 2, v);
}
void Append32(Bytes& b, std::uint32_t v) {
  b.resize(b.size() + 4);
  Put32(b, b.size() - 4, v);
}

Bytes HeartBytes() {
  auto file = HeartIconFile();
  return Bytes(file.begin(), file.end());
}

std::uint32_t PixelAt(const ArgbImage& image, int x, int y) {
  return image.pixels.at(std::size_t(y) * image.width + x);
}

// A DIB as icon files hold it: `pixels` top-down (0xAARRGGBB), a pixel with
// masked[i] set gets its AND bit. At <= 8 bpp the palette is the distinct
// colours in order of appearance (alpha dropped).
Bytes EncodeDib(int width, int height, int bit_count, const std::vector<std::uint32_t>& pixels,
                const std::vector<bool>& masked) {
  std::vector<std::uint32_t> palette;
  if (bit_count <= 8) {
    for (auto p : pixels) {
      if (std::find(palette.begin(), palette.end(), p & 0xFFFFFF) == palette.end()) {
        palette.push_back(p & 0xFFFFFF);
      }
    }
  }
  Bytes dib;
  Append32(dib, 40);
  Append32(dib, width);
  Append32(dib, 2 * height);
  Append16(dib, 1);
  Append16(dib, bit_count);
  for (int i = 0; i < 6; ++i) Append32(dib, 0);  // BI_RGB, sizes, resolution, colours (0: full)
  palette.resize(bit_count <= 8 ? 1u << bit_count : 0);
  for (auto c : palette) Append32(dib, c);

  const std::size_t xor_stride = (std::size_t(width) * bit_count + 31) / 32 * 4;
  const std::size_t and_stride = (std::size_t(width) + 31) / 32 * 4;
  const std::size_t xor_start = dib.size();
  const std::size_t and_start = xor_start + xor_stride * height;
  dib.resize(and_start + and_stride * height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = dib.data() + xor_start + (height - 1 - y) * xor_stride;
    std::uint8_t* mask = dib.data() + and_start + (height - 1 - y) * and_stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[std::size_t(y) * width + x];
      if (bit_count <= 8) {
        const auto index = std::find(palette.begin(), palette.end(), p & 0xFFFFFF) - palette.begin();
        const std::size_t bit = std::size_t(x) * bit_count;
        row[bit / 8] |= index << (8 - bit_count - bit % 8);
      } else {
        for (int c = 0; c < bit_count / 8; ++c) row[x * bit_count / 8 + c] = p >> 8 * c & 0xFF;
      }
      if (masked[std::size_t(y) * width + x]) mask[x / 8] |= 0x80 >> x % 8;
    }
  }
  return dib;
}

Bytes SolidDib(int side, int bit_count, std::uint32_t colour) {
  const std::size_t count = std::size_t(side) * side;
  return EncodeDib(side, side, bit_count, std::vector<std::uint32_t>(count, colour),
                   std::vector<bool>(count, false));
}

// A PNG as far as the parser looks: signature and IHDR chunk.
Bytes PngHead(std::uint32_t width, std::uint32_t height) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (std::uint32_t v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(v >> shift & 0xFF);
  }
  png.insert(png.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});  // depth, RGBA, methods, CRC (unchecked)
  return png;
}

struct Entry {
  std::uint8_t width;  // as in the directory: 0 stands for 256
  std::uint8_t color_count;
  std::uint16_t bit_count;
  Bytes image = {};
};

struct IconFile {
  Bytes bytes;
  std::vector<std::size_t> offsets;  // of each entry's image
};

IconFile BuildIconFile(const std::vector<Entry>& entries) {
  IconFile file;
  Append16(file.bytes, 0);
  Append16(file.bytes, 1);
  Append16(file.bytes, entries.size());
  std::size_t offset = 6 + 16 * entries.size();
  for (const Entry& e : entries) {
    file.bytes.insert(file.bytes.end(), {e.width, e.width, e.color_count, 0});
    Append16(file.bytes, 1);
    Append16(file.bytes, e.bit_count);
    Append32(file.bytes, e.image.size());
    Append32(file.bytes, offset);
    file.offsets.push_back(offset);
    offset += e.image.size();
  }
  for (const Entry& e : entries) file.bytes.insert(file.bytes.end(), e.image.begin(), e.image.end());
  return file;
}

TEST(HeartIcon, IsA32x32RedHeartOnATransparentBackground) {
  const auto icon = ParseIconFile(HeartIconFile());
  ASSERT_TRUE(icon);
  EXPECT_FALSE(icon->is_png);
  EXPECT_EQ(icon->offset, 22u);
  EXPECT_EQ(icon->offset + icon->size, HeartIconFile().size());
  const ArgbImage& heart = icon->image;
  ASSERT_EQ(heart.width, 32);
  ASSERT_EQ(heart.height, 32);
  ASSERT_EQ(heart.pixels.size(), 32u * 32u);

  const std::uint32_t centre = PixelAt(heart, 16, 16);
  EXPECT_EQ(centre >> 24, 0xFFu);
  EXPECT_GT(centre >> 16 & 0xFF, 180u) << std::hex << centre;
  EXPECT_LT(centre >> 8 & 0xFF, 60u) << std::hex << centre;
  EXPECT_LT(centre & 0xFF, 80u) << std::hex << centre;
  for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {16, 3}}) {
    EXPECT_EQ(PixelAt(heart, x, y), 0u) << x << "," << y;  // corners, and the dip between the lobes
  }
  for (auto [x, y] : {std::pair{8, 4}, {23, 4}, {15, 27}}) {
    EXPECT_EQ(PixelAt(heart, x, y) >> 24, 0xFFu) << x << "," << y;  // both lobes, the tip
  }
  // The outline is mirror-symmetric: catches swapped bits or bytes in the mask.
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(PixelAt(heart, x, y) >> 24, PixelAt(heart, 31 - x, y) >> 24) << x << "," << y;
    }
  }
}

struct ChoiceCase {
  const char* name;
  std::vector<Entry> entries;  // images are filled in by the test
  std::size_t chosen;
};

TEST(IconChoice, FirstSixteenWideWithMoreThan15ColoursElseTheLast) {
  // Entries as {width, colorCount, bitCount}.
  const std::vector<ChoiceCase> cases = {
      {"first 16-wide 256-colour one, not the last", {{32, 0, 8}, {16, 0, 8}, {16, 0, 32}}, 1},
      {"16 wide but only 2 colours: the last", {{16, 2, 1}, {32, 0, 8}}, 1},
      {"16 colours count", {{16, 16, 4}, {32, 0, 32}}, 0},
      {"15 colours do not", {{16, 15, 4}, {24, 0, 8}}, 1},
      {"colorCount 0 at 4 bits is 16 colours", {{16, 0, 4}, {32, 0, 8}}, 0},
      {"colorCount 0 at 1 bit is 2 colours", {{16, 0, 1}, {48, 0, 8}, {32, 0, 8}}, 2},
      {"colorCount 0 with no bitCount is 256 or more", {{16, 0, 0}, {32, 0, 8}}, 0},
      {"no 16-wide image: the last", {{48, 0, 8}, {32, 0, 32}}, 1},
      {"a single image", {{32, 0, 8}}, 0},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Entry> entries = c.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const int depth = entries[i].bit_count != 0 ? entries[i].bit_count : 32;
      entries[i].image = SolidDib(entries[i].width, depth, 0xFF000000 | 0x102030 * (i + 1));
    }
    const IconFile file = BuildIconFile(entries);
    const auto icon = ParseIconFile(file.bytes);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->offset, file.offsets[c.chosen]);
    EXPECT_EQ(icon->size, entries[c.chosen].image.size());
    EXPECT_EQ(icon->image.width, entries[c.chosen].width);
    EXPECT_EQ(PixelAt(icon->image, 0, 0), 0xFF000000 | 0x102030 * (c.chosen + 1));
  }
}

TEST(IconChoice, PngImageIsLocatedNotDecoded) {
  const Bytes png = PngHead(256, 256);
  const IconFile file = BuildIconFile({{32, 0, 32, SolidDib(32, 32, 0xFF00FF00)}, {0, 0, 32, png}});
  const auto icon = ParseIconFile(file.bytes);
  ASSERT_TRUE(icon);
  EXPECT_TRUE(icon->is_png);
  EXPECT_EQ(icon->offset, file.offsets[1]);
  EXPECT_EQ(icon->size, png.size());
  EXPECT_EQ(icon->image.width, 256);
  EXPECT_EQ(icon->image.height, 256);
  EXPECT_TRUE(icon->image.empty());

  for (const Bytes& bad : {PngHead(0, 16), PngHead(16, 257), Bytes(png.begin(), png.begin() + 23)}) {
    EXPECT_FALSE(ParseIconFile(BuildIconFile({{0, 0, 32, bad}}).bytes));
  }
}

TEST(IconBitmap, EveryDepthDecodesTopDownWithItsMask) {
  // 5 x 3: rows of 5 pixels need padding at every depth but 32 bpp.
  const int width = 5, height = 3;
  const std::vector<std::uint32_t> colours = {0xFF102030, 0xFFF0E0D0, 0xFF00FF00, 0xFF0000FF,
                                              0xFFFF0000, 0xFF808080};
  for (int depth : {1, 4, 8, 24, 32}) {
    SCOPED_TRACE(depth);
    const std::size_t used = depth == 1 ? 2 : colours.size();
    std::vector<std::uint32_t> pixels;
    std::vector<bool> masked;
    for (int i = 0; i < width * height; ++i) {
      masked.push_back(i % 4 == 1);
      // A 32-bpp image's alpha agrees with its mask, as icon editors write them.
      const std::uint32_t alpha = depth == 32 && masked.back() ? 0x00FFFFFF : 0xFFFFFFFF;
      pixels.push_back(colours[(i * 7 + i / width) % used] & alpha);
    }
    const auto icon =
        ParseIconFile(BuildIconFile({{width, 0, std::uint16_t(depth),
                                      EncodeDib(width, height, depth, pixels, masked)}}).bytes);
    ASSERT_TRUE(icon);
    ASSERT_EQ(icon->image.width, width);
    ASSERT_EQ(icon->image.height, height);
    for (int i = 0; i < width * height; ++i) {
      EXPECT_EQ(icon->image.pixels[i], masked[i] ? 0u : pixels[i]) << "pixel " << i;
    }
  }
}

TEST(IconBitmap, AlphaChannelOverridesTheMaskUnlessAllZero) {
  const std::vector<std::uint32_t> with_alpha = {0xFF112233, 0x80445566, 0x00778899, 0xFFAABBCC};
  const std::vector<bool> masked = {true, false, false, false};
  auto parse = [&](const std::vector<std::uint32_t>& pixels) {
    return ParseIconFile(BuildIconFile({{2, 0, 32, EncodeDib(2, 2, 32, pixels, masked)}}).bytes);
  };

  const auto alpha = parse(with_alpha);
  ASSERT_TRUE(alpha);
  EXPECT_EQ(alpha->image.pixels, (std::vector<std::uint32_t>{0xFF112233, 0x80445566, 0, 0xFFAABBCC}));

  std::vector<std::uint32_t> no_alpha;
  for (auto p : with_alpha) no_alpha.push_back(p & 0xFFFFFF);
  const auto legacy = parse(no_alpha);
  ASSERT_TRUE(legacy);
  EXPECT_EQ(legacy->image.pixels,
            (std::vector<std::uint32_t>{0, 0xFF445566, 0xFF778899, 0xFFAABBCC}));
}

// Offsets in the heart file: directory entry at 6, bitmap header at 22.
constexpr std::size_t kEntryBytes = 6 + 8, kEntryOffset = 6 + 12;
constexpr std::size_t kHeaderSize = 22, kWidth = 26, kHeight = 30, kBitCount = 36,
                      kCompression = 38, kColoursUsed = 54;

TEST(IconFileMalformed, IsRefused) {
  const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> cases = {
      {"empty", [](Bytes& b) { b.clear(); }},
      {"directory cut short", [](Bytes& b) { b.resize(5); }},
      {"entry cut short", [](Bytes& b) { b.resize(21); }},
      {"image cut by one byte", [](Bytes& b) { b.pop_back(); }},
      {"reserved not 0", [](Bytes& b) { Put16(b, 0, 1); }},
      {"cursor, not icon", [](Bytes& b) { Put16(b, 2, 2); }},
      {"no images", [](Bytes& b) { Put16(b, 4, 0); }},
      {"more entries than bytes", [](Bytes& b) { Put16(b, 4, 200); }},
      {"offset past the end", [](Bytes& b) { Put32(b, kEntryOffset, b.size() + 1); }},
      {"offset + size wraps around", [](Bytes& b) { Put32(b, kEntryOffset, 0xFFFFFFF0); }},
      {"size past the end", [](Bytes& b) { Put32(b, kEntryBytes, 0xFFFFFFFF); }},
      {"size too small for the bitmap", [](Bytes& b) { Put32(b, kEntryBytes, 2000); }},
      {"header size huge", [](Bytes& b) { Put32(b, kHeaderSize, 0xFFFFFFFF); }},
      {"header size of the old core header", [](Bytes& b) { Put32(b, kHeaderSize, 12); }},
      {"header size past the data", [](Bytes& b) { Put32(b, kHeaderSize, 2000); }},
      {"width 0", [](Bytes& b) { Put32(b, kWidth, 0); }},
      {"width negative", [](Bytes& b) { Put32(b, kWidth, -32); }},
      {"width absurd", [](Bytes& b) { Put32(b, kWidth, 0x40000000); }},
      {"width 257", [](Bytes& b) { Put32(b, kWidth, 257); }},
      {"height 0", [](Bytes& b) { Put32(b, kHeight, 0); }},
      {"height odd", [](Bytes& b) { Put32(b, kHeight, 63); }},
      {"height negative (top-down)", [](Bytes& b) { Put32(b, kHeight, -64); }},
      {"height absurd", [](Bytes& b) { Put32(b, kHeight, 0x7FFFFFFE); }},
      {"depth 0", [](Bytes& b) { Put16(b, kBitCount, 0); }},
      {"depth 7", [](Bytes& b) { Put16(b, kBitCount, 7); }},
      {"depth 16", [](Bytes& b) { Put16(b, kBitCount, 16); }},
      {"depth 32 beyond the data", [](Bytes& b) { Put16(b, kBitCount, 32); }},
      {"run-length compressed", [](Bytes& b) { Put32(b, kCompression, 1); }},
      {"palette of 257 colours", [](Bytes& b) { Put32(b, kColoursUsed, 257); }},
      {"palette size overflowing 32 bits", [](Bytes& b) { Put32(b, kColoursUsed, 0x40000001); }},
  };
  ASSERT_TRUE(ParseIconFile(HeartBytes()));
  for (const auto& [name, damage] : cases) {
    Bytes file = HeartBytes();
    damage(file);
    // A copy of exactly that size, so ASan sees any read past it.
    const auto exact = std::make_unique<std::uint8_t[]>(file.size());
    std::copy(file.begin(), file.end(), exact.get());
    EXPECT_FALSE(ParseIconFile({exact.get(), file.size()})) << name;
  }
}

TEST(IconFileMalformed, RandomMutationsOfTheHeartNeverCrash) {
  std::mt19937 random(20240611);
  constexpr std::uint32_t kExtremes[] = {0, 1, 15, 16, 255, 256, 257, 0x7FFFFFFF, 0x80000000,
                                         0xFFFFFFFF};
  constexpr std::size_t kHeadersEnd = 22 + 40;
  int parsed = 0, refused = 0;
  for (int round = 0; round < 4000; ++round) {
    Bytes file = HeartBytes();
    const int mutations = 1 + random() % 4;
    for (int m = 0; m < mutations && !file.empty(); ++m) {
      // Mostly aim at the directory and the bitmap header, where the sizes are.
      const std::size_t span = random() % 4 == 0 ? file.size() : std::min(file.size(), kHeadersEnd);
      const std::size_t at = random() % span;
      switch (random() % 4) {
        case 0: file[at] = random() & 0xFF; break;
        case 1: file[at] ^= 1 << random() % 8; break;
        case 2:
          if (at + 4 <= file.size()) Put32(file, at, kExtremes[random() % std::size(kExtremes)]);
          break;
        default: file.resize(random() % (file.size() + 1)); break;
      }
    }
    const auto exact = std::make_unique<std::uint8_t[]>(file.size());
    std::copy(file.begin(), file.end(), exact.get());
    const auto icon = ParseIconFile({exact.get(), file.size()});
    if (!icon) {
      ++refused;
      continue;
    }
    ++parsed;
    ASSERT_LE(icon->offset + icon->size, file.size());
    ASSERT_GE(icon->image.width, 1);
    ASSERT_LE(icon->image.width, 256);
    ASSERT_GE(icon->image.height, 1);
    ASSERT_LE(icon->image.height, 256);
    if (!icon->is_png) {
      ASSERT_EQ(icon->image.pixels.size(), std::size_t(icon->image.width) * icon->image.height);
    }
  }
  // Both outcomes must be common, or the mutations test nothing.
  EXPECT_GT(parsed, 200);
  EXPECT_GT(refused, 200);
}

}  // namespace
}  // namespace autoshutdown
