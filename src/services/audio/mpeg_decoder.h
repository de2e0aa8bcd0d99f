// MPEG audio decoding with libmpg123 from a byte source of our own, so that the caller decides
// how a file is found and opened, and what happens when it goes away while being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "services/audio/pcm_sink.h"

struct mpg123_handle_struct;

namespace autoshutdown::audio {

// A readable byte stream with read(2)/lseek(2) results.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `size` bytes from the current position; the count, 0 at the end, -1 on error.
  virtual std::int64_t Read(void* buffer, std::size_t size) = 0;
  // Moves the position as lseek does (SEEK_SET, SEEK_CUR, SEEK_END); the new position or -1.
  virtual std::int64_t Seek(std::int64_t offset, int whence) = 0;
};

// Receives one block of decoded sound; returning false ends the pass.
using PcmConsumer =
    std::function<bool(const PcmFormat& format, std::span<const std::int16_t> samples)>;

// Decodes MPEG-1 and MPEG-2 layers II and III and MPEG-2.5 layer III to 16-bit PCM at the
// stream's own rate and channel count. A leading ID3v2 tag is passed over and damaged frames
// are skipped by searching for the next frame start. Anything else (layer I, no MPEG audio at
// all) gives no sound. Messages of the library are suppressed.
class MpegDecoder {
 public:
  MpegDecoder();
  ~MpegDecoder();
  MpegDecoder(const MpegDecoder&) = delete;
  MpegDecoder& operator=(const MpegDecoder&) = delete;

  // Decodes `source` from its current position to its end, a read error, or until `consume`
  // returns false. Gives nothing when libmpg123 had no memory for its decoder.
  void DecodePass(ByteSource& source, const PcmConsumer& consume);

 private:
  mpg123_handle_struct* handle_;
};

}  // namespace autoshutdown::audio
