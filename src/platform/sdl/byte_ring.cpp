#include "platform/sdl/byte_ring.h"

#include <algorithm>
#include <cstring>

namespace voxloom {

ByteRing::ByteRing(std::size_t capacity) : bytes_(capacity) {}

std::size_t ByteRing::write(const std::uint8_t* data, std::size_t count) {
  count = std::min(count, space());
  const std::size_t tail = (head_ + size_) % std::max<std::size_t>(bytes_.size(), 1);
  const std::size_t first = std::min(count, bytes_.size() - tail);
  std::memcpy(bytes_.data() + tail, data, first);
  std::memcpy(bytes_.data(), data + first, count - first);
  size_ += count;
  return count;
}

std::size_t ByteRing::read(std::uint8_t* out, std::size_t count) {
  count = std::min(count, size_);
  const std::size_t first = std::min(count, bytes_.size() - head_);
  std::memcpy(out, bytes_.data() + head_, first);
  std::memcpy(out + first, bytes_.data(), count - first);
  head_ = count == 0 ? head_ : (head_ + count) % bytes_.size();
  size_ -= count;
  return count;
}

std::size_t ByteRing::dropNewest(std::size_t count) {
  count = std::min(count, size_);
  size_ -= count;
  return count;
}

}  // namespace voxloom
