// libFuzzer target: arbitrary bytes as a ringtone file, through the decoder and the reader
// callbacks it is fed from. One decoder serves every input, as one serves every pass.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "services/audio/mpeg_decoder.h"

namespace {

using autoshutdown::audio::ByteSource;
using autoshutdown::audio::MpegDecoder;
using autoshutdown::audio::PcmFormat;

class MemorySource final : public ByteSource {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::int64_t Read(void* buffer, std::size_t size) override {
    const std::size_t count = position_ < size_ ? std::min(size, size_ - position_) : 0;
    if (count > 0) std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return static_cast<std::int64_t>(count);
  }

  std::int64_t Seek(std::int64_t offset, int whence) override {
    const std::int64_t base = whence == SEEK_SET   ? 0
                              : whence == SEEK_CUR ? static_cast<std::int64_t>(position_)
                                                   : static_cast<std::int64_t>(size_);
    if (offset < -base) return -1;
    position_ = static_cast<std::size_t>(base + offset);
    return static_cast<std::int64_t>(position_);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MpegDecoder decoder;
  MemorySource source(data, size);
  int blocks = 0;
  decoder.DecodePass(source, [&](const PcmFormat& format, std::span<const std::int16_t> pcm) {
    // What a sink is promised: a real rate, mono or stereo, whole frames.
    if (format.rate < 8000 || format.rate > 48000 || format.channels < 1 ||
        format.channels > 2 || pcm.empty() || pcm.size() % format.channels != 0) {
      std::abort();
    }
    volatile std::int16_t last = pcm.back();  // every sample must be readable
    (void)last;
    return ++blocks < 256;
  });
  return 0;
}
