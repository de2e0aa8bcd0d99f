#include "services/audio/file_source.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "services/text/codec.h"

namespace autoshutdown::audio {

std::unique_ptr<FileSource> FileSource::Open(const Text& path) {
  // A path built from UTF-8 is the same name as UTF-8 bytes on Linux and as UTF-16 for the
  // wide file functions on Windows, so no name is lost on either.
  const std::string utf8 = codec::Gb18030ToUtf8(path);
  std::ifstream stream(std::filesystem::path(std::u8string(utf8.begin(), utf8.end())),
                       std::ios::binary);
  if (!stream.is_open()) return nullptr;
  return std::unique_ptr<FileSource>(new FileSource(std::move(stream)));
}

std::int64_t FileSource::Read(void* buffer, std::size_t size) {
  stream_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
  if (stream_.bad()) return -1;
  const std::int64_t count = stream_.gcount();
  stream_.clear();  // a short read at the end is not an error for the next call
  return count;
}

std::int64_t FileSource::Seek(std::int64_t offset, int whence) {
  const std::ios::seekdir from = whence == SEEK_SET   ? std::ios::beg
                                 : whence == SEEK_CUR ? std::ios::cur
                                                      : std::ios::end;
  stream_.clear();
  stream_.seekg(offset, from);
  if (stream_.fail()) return -1;
  return static_cast<std::int64_t>(stream_.tellg());
}

}  // namespace autoshutdown::audio
