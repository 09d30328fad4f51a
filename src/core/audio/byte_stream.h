#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace voxloom {

// A read-only stream over a regular file or a block of memory: the readers take one of
// these, so tests and fuzzers feed them from memory. Seeking past the end is allowed,
// as with files; reads there come back short.
class ByteStream {
 public:
  // Fails for anything that is not a readable regular file; never blocks. `refusal`,
  // when given, receives the message for a folder, FIFO or device (left empty when the
  // file could not be opened at all).
  static std::optional<ByteStream> openFile(const std::string& path,
                                            std::string* refusal = nullptr);
  static ByteStream fromMemory(std::span<const std::uint8_t> bytes);

  // Reads up to `count` bytes; returns how many were read.
  std::size_t read(void* destination, std::size_t count);
  // Absolute seek; fails only for negative positions.
  bool seek(std::int64_t position);
  bool skip(std::int64_t delta) { return seek(position_ + delta); }
  std::int64_t tell() const { return position_; }
  std::int64_t size() const { return size_; }
  // Bytes between the position and the end (0 when past the end).
  std::int64_t remaining() const { return position_ < size_ ? size_ - position_ : 0; }

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::span<const std::uint8_t> memory_;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
  bool fileInSync_ = true;  // the FILE's own position equals position_
};

}  // namespace voxloom
