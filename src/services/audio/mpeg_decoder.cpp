#include "services/audio/mpeg_decoder.h"

#include <mpg123.h>

#include <array>
#include <cstddef>

namespace autoshutdown::audio {
namespace {

mpg123_ssize_t ReadSource(void* source, void* buffer, size_t size) {
  return static_cast<mpg123_ssize_t>(static_cast<ByteSource*>(source)->Read(buffer, size));
}

off_t SeekSource(void* source, off_t offset, int whence) {
  return static_cast<off_t>(static_cast<ByteSource*>(source)->Seek(offset, whence));
}

mpg123_handle* NewHandle() {
  // A no-op since libmpg123 1.27, still required by older ones.
  static const bool initialised = mpg123_init() == MPG123_OK;
  if (!initialised) return nullptr;
  mpg123_handle* handle = mpg123_new(nullptr, nullptr);
  if (!handle) return nullptr;
  // Output exactly 16-bit at the stream's own rate and channels: no resampling, no mixing.
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i) {
    mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Search the whole rest of the stream for the next frame after damage, not just 1 KiB.
  mpg123_param(handle, MPG123_RESYNC_LIMIT, -1, 0);
  if (mpg123_replace_reader_handle(handle, &ReadSource, &SeekSource, nullptr) != MPG123_OK) {
    mpg123_delete(handle);
    return nullptr;
  }
  return handle;
}

}  // namespace

MpegDecoder::MpegDecoder() : handle_(NewHandle()) {}

MpegDecoder::~MpegDecoder() { mpg123_delete(handle_); }

void MpegDecoder::DecodePass(ByteSource& source, const PcmConsumer& consume) {
  if (!handle_ || mpg123_open_handle(handle_, &source) != MPG123_OK) return;
  std::array<std::int16_t, 8192> block;
  PcmFormat format;
  bool format_known = false;  // a new file in the same format brings no MPG123_NEW_FORMAT
  bool playable = false;
  for (;;) {
    size_t bytes = 0;
    const int status = mpg123_read(handle_, block.data(), sizeof block, &bytes);
    if (status == MPG123_NEW_FORMAT) format_known = false;
    if (bytes > 0 && !format_known) {
      long rate = 0;
      int channels = 0;
      int encoding = 0;
      mpg123_frameinfo frame{};
      playable = mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK &&
                 mpg123_info(handle_, &frame) == MPG123_OK && frame.layer != 1 &&
                 encoding == MPG123_ENC_SIGNED_16 && (channels == 1 || channels == 2);
      format = {rate, channels};
      format_known = true;
    }
    // Whole frames only: a damaged stream can yield a stray sample, which a device would
    // refuse or take as a channel swap.
    if (playable) {
      const std::size_t samples = bytes / sizeof(std::int16_t) / format.channels * format.channels;
      if (samples > 0 && !consume(format, std::span(block.data(), samples))) break;
    }
    if (status != MPG123_OK && status != MPG123_NEW_FORMAT) break;  // end, read error, no sync
  }
  mpg123_close(handle_);
}

}  // namespace autoshutdown::audio
