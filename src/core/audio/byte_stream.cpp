#include "core/audio/byte_stream.h"

#include <algorithm>
#include <cstring>

#include "core/util/user_file.h"

namespace voxloom {

std::optional<ByteStream> ByteStream::openFile(const std::string& path, std::string* refusal) {
  UserFile file = UserFile::open(path);
  if (refusal != nullptr && !file.isOpen() && file.status() != UserFile::Status::CannotOpen)
    *refusal = notRegularFileText("WAV file", path, file);
  const std::int64_t size = file.size();
  std::FILE* f = file.releaseToStdio();
  if (f == nullptr) return std::nullopt;
  ByteStream stream;
  stream.file_.reset(f);
  stream.size_ = size;
  return stream;
}

ByteStream ByteStream::fromMemory(std::span<const std::uint8_t> bytes) {
  ByteStream stream;
  stream.memory_ = bytes;
  stream.size_ = static_cast<std::int64_t>(bytes.size());
  return stream;
}

std::size_t ByteStream::read(void* destination, std::size_t count) {
  const auto wanted = static_cast<std::size_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(count), remaining()));
  if (wanted == 0) return 0;
  std::size_t got = 0;
  if (file_) {
    if (!fileInSync_) {
      if (fseeko(file_.get(), static_cast<off_t>(position_), SEEK_SET) != 0) return 0;
      fileInSync_ = true;
    }
    got = std::fread(destination, 1, wanted, file_.get());
    if (got < wanted) fileInSync_ = false;  // error or a file that shrank under us
  } else {
    std::memcpy(destination, memory_.data() + position_, wanted);
    got = wanted;
  }
  position_ += static_cast<std::int64_t>(got);
  return got;
}

bool ByteStream::seek(std::int64_t position) {
  if (position < 0) return false;
  if (position != position_) {
    position_ = position;
    fileInSync_ = false;
  }
  return true;
}

}  // namespace voxloom
