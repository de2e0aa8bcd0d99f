// The sound files made by make_fixtures.sh, and what one pass over each should sound like.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services/audio/file_source.h"
#include "services/audio/mpeg_decoder.h"
#include "services/text/text.h"

namespace autoshutdown::audio {

inline std::string FixturePath(const std::string& name) {
  return std::string(AUTOSHUTDOWN_AUDIO_FIXTURES) + "/" + name;
}

inline Text Fixture(const std::string& name) { return Text(FixturePath(name)); }

struct Decoded {
  PcmFormat format;
  std::vector<std::int16_t> samples;
};

// One pass over the file, straight from the decoder.
inline Decoded DecodeFile(const Text& path) {
  Decoded decoded;
  if (auto file = FileSource::Open(path)) {
    MpegDecoder().DecodePass(*file, [&](const PcmFormat& format,
                                        std::span<const std::int16_t> samples) {
      decoded.format = format;
      decoded.samples.insert(decoded.samples.end(), samples.begin(), samples.end());
      return true;
    });
  }
  return decoded;
}

inline std::vector<std::int16_t> Repeated(const std::vector<std::int16_t>& pass, int times) {
  std::vector<std::int16_t> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), pass.begin(), pass.end());
  return all;
}

}  // namespace autoshutdown::audio
