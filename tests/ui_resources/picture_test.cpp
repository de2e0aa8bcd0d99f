// JPEG decoding: the built-in picture, the colour spaces, and broken streams,
// which must give an empty image instead of a crash or an exit().
#include "ui/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include <jpeglib.h>

#include "ui/templates/resources.h"

namespace autoshutdown {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes PictureBytes() {
  auto picture = DescriptionPicture();
  return Bytes(picture.begin(), picture.end());
}

// Encodes interleaved samples with libjpeg (test inputs are valid, so its
// default exit-on-error handler is fine here).
Bytes EncodeJpeg(int width, int height, J_COLOR_SPACE space, int components, const Bytes& samples) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = components;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(samples.data() + std::size_t(info.next_scanline) * width * components);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

// Decodes a copy of exactly the given size, so ASan sees any read past it.
ArgbImage DecodeExact(const Bytes& jpeg) {
  const auto exact = std::make_unique<std::uint8_t[]>(jpeg.size());
  std::copy(jpeg.begin(), jpeg.end(), exact.get());
  return DecodeJpeg({exact.get(), jpeg.size()});
}

int Channel(std::uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }
int Luma(std::uint32_t p) { return (2 * Channel(p, 16) + 5 * Channel(p, 8) + Channel(p, 0)) / 8; }

void ExpectColour(std::uint32_t pixel, int r, int g, int b) {
  constexpr int kTolerance = 24;  // lossy coding, chroma halved
  EXPECT_EQ(pixel >> 24, 0xFFu);
  EXPECT_NEAR(Channel(pixel, 16), r, kTolerance) << std::hex << pixel;
  EXPECT_NEAR(Channel(pixel, 8), g, kTolerance) << std::hex << pixel;
  EXPECT_NEAR(Channel(pixel, 0), b, kTolerance) << std::hex << pixel;
}

// Offset of a marker segment's 0xFF, walking the segments from SOI.
std::size_t FindSegment(const Bytes& jpeg, std::uint8_t marker) {
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != marker) {
    at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
  }
  if (at + 4 > jpeg.size() || jpeg[at] != 0xFF) ADD_FAILURE() << "no marker " << int(marker);
  return at;
}

TEST(DescriptionPicture, Decodes670x502LightOnBlack) {
  const ArgbImage picture = DecodeJpeg(DescriptionPicture());
  ASSERT_EQ(picture.width, 670);
  ASSERT_EQ(picture.height, 502);
  ASSERT_EQ(picture.pixels.size(), 670u * 502u);
  std::size_t dark = 0, light = 0;
  for (auto p : picture.pixels) {
    ASSERT_EQ(p >> 24, 0xFFu);
    dark += Luma(p) < 40;
    light += Luma(p) > 180;
  }
  EXPECT_GT(dark, picture.pixels.size() / 2);
  EXPECT_GT(light, picture.pixels.size() / 100);
}

TEST(DecodeJpeg, ColourSpacesComeOutAsOpaqueRgb) {
  // RGB, 13 x 7 so that rows are no multiple of the 8- and 16-pixel blocks:
  // red on the left, blue on the right.
  Bytes rgb;
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 13; ++x) rgb.insert(rgb.end(), {std::uint8_t(x < 6 ? 255 : 0), 0, std::uint8_t(x < 6 ? 0 : 255)});
  }
  const ArgbImage colour = DecodeExact(EncodeJpeg(13, 7, JCS_RGB, 3, rgb));
  ASSERT_EQ(colour.width, 13);
  ASSERT_EQ(colour.height, 7);
  ExpectColour(colour.pixels[3 * 13 + 1], 255, 0, 0);
  ExpectColour(colour.pixels[6 * 13 + 12], 0, 0, 255);

  const ArgbImage grey = DecodeExact(EncodeJpeg(9, 5, JCS_GRAYSCALE, 1, Bytes(9 * 5, 200)));
  ASSERT_EQ(grey.pixels.size(), 9u * 5u);
  for (auto p : grey.pixels) ExpectColour(p, 200, 200, 200);

  // Adobe CMYK stores 255 - ink: no cyan, full magenta and yellow, no black is red.
  Bytes cmyk;
  for (int i = 0; i < 8 * 8; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
  const ArgbImage from_cmyk = DecodeExact(EncodeJpeg(8, 8, JCS_CMYK, 4, cmyk));
  ASSERT_EQ(from_cmyk.pixels.size(), 64u);
  ExpectColour(from_cmyk.pixels[27], 255, 0, 0);
}

TEST(DecodeJpeg, BrokenStreamsGiveAnEmptyImage) {
  const Bytes good = PictureBytes();
  const std::size_t sof = FindSegment(good, 0xC0);
  const std::size_t scan = FindSegment(good, 0xDA);
  auto cut = [&](std::size_t size) { return Bytes(good.begin(), good.begin() + size); };
  auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    Bytes b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + at);
    return b;
  };
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"empty", {}},
      {"only the start marker", {0xFF, 0xD8}},
      {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
      {"cut inside the headers", cut(sof + 4)},
      {"cut in the middle of the scan", cut(good.size() / 2)},
      {"cut before the end marker", cut(good.size() - 2)},
      {"width 0", with(sof + 7, {0, 0})},
      {"65500 x 65500, beyond the size limit", with(sof + 5, {0xFF, 0xDC, 0xFF, 0xDC})},
      {"an unexpected marker in the scan", with((scan + good.size()) / 2, {0xFF, 0xD5})},
      {"no scan, end right after the headers", [&] {
         Bytes b = cut(scan);
         b.insert(b.end(), {0xFF, 0xD9});
         return b;
       }()},
  };
  ASSERT_EQ(DecodeExact(good).width, 670);
  for (const auto& [name, jpeg] : cases) {
    const ArgbImage image = DecodeExact(jpeg);
    EXPECT_TRUE(image.empty()) << name;
    EXPECT_EQ(image.width, 0) << name;
    EXPECT_EQ(image.height, 0) << name;
  }
}

TEST(DecodeJpeg, RandomMutationsNeverCrash) {
  Bytes samples;
  for (int i = 0; i < 40 * 24; ++i) samples.insert(samples.end(), {std::uint8_t(i * 7), std::uint8_t(i / 3), 128});
  const Bytes good = EncodeJpeg(40, 24, JCS_RGB, 3, samples);
  std::mt19937 random(20240612);
  int decoded = 0, refused = 0;
  for (int round = 0; round < 1500; ++round) {
    Bytes jpeg = good;
    const int mutations = 1 + random() % 3;
    for (int m = 0; m < mutations && !jpeg.empty(); ++m) {
      const std::size_t at = random() % jpeg.size();
      switch (random() % 3) {
        case 0: jpeg[at] = random() & 0xFF; break;
        case 1: jpeg[at] ^= 1 << random() % 8; break;
        default: jpeg.resize(at); break;
      }
    }
    const ArgbImage image = DecodeExact(jpeg);
    if (image.empty()) {
      ++refused;
      continue;
    }
    ++decoded;
    ASSERT_GT(image.width, 0);
    ASSERT_GT(image.height, 0);
    ASSERT_EQ(image.pixels.size(), std::size_t(image.width) * image.height);
    ASSERT_LE(image.pixels.size(), kMaxJpegPixels);
  }
  EXPECT_GT(decoded, 50);
  EXPECT_GT(refused, 50);
}

}  // namespace
}  // namespace autoshutdown
