#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace voxloom {

// A first-in first-out byte store of fixed capacity. Reading and writing never allocate,
// so the audio callback may use it; the owner does the locking.
class ByteRing {
 public:
  explicit ByteRing(std::size_t capacity = 0);

  std::size_t capacity() const { return bytes_.size(); }
  std::size_t size() const { return size_; }
  std::size_t space() const { return bytes_.size() - size_; }

  // Copies as much of data as fits; returns the count copied.
  std::size_t write(const std::uint8_t* data, std::size_t count);
  // Moves up to count bytes out; returns the count moved.
  std::size_t read(std::uint8_t* out, std::size_t count);
  // Takes back up to count of the newest bytes, unread; returns the count taken back.
  std::size_t dropNewest(std::size_t count);
  void clear() { head_ = size_ = 0; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t head_ = 0;  // position of the oldest byte
  std::size_t size_ = 0;
};

}  // namespace voxloom
