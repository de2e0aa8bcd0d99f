// A ringtone file read as raw bytes, found by its GB18030 path.
#pragma once

#include <fstream>
#include <memory>

#include "services/audio/mpeg_decoder.h"
#include "services/text/text.h"

namespace autoshutdown::audio {

class FileSource final : public ByteSource {
 public:
  // The file at `path`, converted exactly to the platform's file-name encoding, open for
  // reading at its start; nullptr when it cannot be opened.
  static std::unique_ptr<FileSource> Open(const Text& path);

  std::int64_t Read(void* buffer, std::size_t size) override;
  std::int64_t Seek(std::int64_t offset, int whence) override;

 private:
  explicit FileSource(std::ifstream stream) : stream_(std::move(stream)) {}
  std::ifstream stream_;
};

}  // namespace autoshutdown::audio
