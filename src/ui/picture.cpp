// JPEG decoding through libjpeg's IJG API, with its errors turned into an empty result.
#include "ui/picture.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE without including it

#include <jpeglib.h>

namespace autoshutdown {
namespace {

// libjpeg's default error handler prints and calls exit(); this one jumps
// back into Decompressor::Try instead, which reports the failure.
struct ErrorTrap {
  jpeg_error_mgr manager;  // first member: libjpeg passes &manager as the trap
  std::jmp_buf jump;
};

[[noreturn]] void GiveUp(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

// Level -1 is a warning about corrupt data (a truncated stream among them),
// after which libjpeg would go on with made-up pixels: treat it as an error.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) GiveUp(info);
}

// A jpeg_decompress_struct whose errors come back as results.
class Decompressor {
 public:
  Decompressor() {
    info_.err = jpeg_std_error(&trap_.manager);
    trap_.manager.error_exit = GiveUp;
    trap_.manager.emit_message = OnMessage;
    created_ = Try([this] { jpeg_create_decompress(&info_); });
  }
  ~Decompressor() { jpeg_destroy_decompress(&info_); }  // safe on a half-created struct
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  bool created() const { return created_; }
  jpeg_decompress_struct& info() { return info_; }

  // Runs libjpeg calls; false when one of them failed. The jump skips only the
  // frames of `call` and libjpeg, so `call` must own nothing with a destructor:
  // every C++ object stays outside the setjmp/longjmp span.
  template <typename Call>
  bool Try(Call call) {
    if (setjmp(trap_.jump) != 0) return false;
    call();
    return true;
  }

 private:
  jpeg_decompress_struct info_{};
  ErrorTrap trap_{};
  bool created_ = false;
};

std::uint32_t Opaque(unsigned r, unsigned g, unsigned b) { return 0xFF000000 | r << 16 | g << 8 | b; }

}  // namespace

ArgbImage DecodeJpeg(std::span<const std::uint8_t> jpeg) {
  Decompressor decompressor;
  jpeg_decompress_struct& info = decompressor.info();
  if (!decompressor.created() || !decompressor.Try([&] {
        jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&info, TRUE);
      })) {
    return {};
  }
  if (std::uint64_t{info.image_width} * info.image_height > kMaxJpegPixels) return {};
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  if (!decompressor.Try([&] { jpeg_start_decompress(&info); })) return {};

  ArgbImage image{static_cast<int>(info.output_width), static_cast<int>(info.output_height), {}};
  image.pixels.resize(std::size_t(image.width) * image.height);
  const int components = info.output_components;
  std::vector<JSAMPLE> row(std::size_t(image.width) * components);
  JSAMPROW rows[] = {row.data()};
  while (info.output_scanline < info.output_height) {
    std::uint32_t* out = image.pixels.data() + std::size_t(info.output_scanline) * image.width;
    if (!decompressor.Try([&] { jpeg_read_scanlines(&info, rows, 1); })) return {};
    for (int x = 0; x < image.width; ++x) {
      const JSAMPLE* p = row.data() + x * components;
      if (cmyk) {
        // Photoshop writes CMYK JPEGs inverted (its Adobe marker says so), and
        // other writers copy it: the stored values are 255 - ink.
        const unsigned k = p[3];
        out[x] = Opaque(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
      } else {
        out[x] = Opaque(p[0], p[1], p[2]);
      }
    }
  }
  if (!decompressor.Try([&] { jpeg_finish_decompress(&info); })) return {};
  return image;
}

}  // namespace autoshutdown
