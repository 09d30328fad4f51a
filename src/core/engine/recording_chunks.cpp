#include "core/engine/recording_chunks.h"

#include <algorithm>
#include <cstring>
#include <new>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define VOXLOOM_CHUNKS_MMAP 1
#endif

namespace voxloom {

namespace {

constexpr std::size_t kMinChunk = std::size_t{64} << 10;
constexpr std::size_t kMaxChunk = std::size_t{8} << 20;
constexpr std::size_t kPage = 4096;

}  // namespace

// Chunks come straight from the system where it can: the allocator would keep freed
// chunks for itself, and the join relies on every copied chunk really going back.
std::uint8_t* RecordedChunks::allocateChunk(std::size_t bytes) {
#ifdef VOXLOOM_CHUNKS_MMAP
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
#else
  return new (std::nothrow) std::uint8_t[bytes];
#endif
}

void RecordedChunks::releaseChunk(Chunk& chunk) {
  if (chunk.data == nullptr) return;
#ifdef VOXLOOM_CHUNKS_MMAP
  munmap(chunk.data, chunk.capacity);
#else
  delete[] chunk.data;
#endif
  chunk = Chunk{};
}

bool RecordedChunks::append(const std::uint8_t* bytes, std::size_t count) {
  while (count > 0) {
    if (chunks_.empty() || chunks_.back().used == chunks_.back().capacity) {
      std::size_t capacity = std::clamp(size_ / 16, kMinChunk, kMaxChunk);
      capacity = (capacity + kPage - 1) / kPage * kPage;
      Chunk chunk{allocateChunk(capacity), capacity, 0};
      if (chunk.data == nullptr) return false;
      chunks_.push_back(chunk);
    }
    Chunk& last = chunks_.back();
    const std::size_t part = std::min(count, last.capacity - last.used);
    std::memcpy(last.data + last.used, bytes, part);
    last.used += part;
    size_ += part;
    bytes += part;
    count -= part;
  }
  return true;
}

std::size_t RecordedChunks::reserved() const {
  std::size_t total = 0;
  for (const Chunk& chunk : chunks_) total += chunk.capacity;
  return total;
}

void RecordedChunks::moveInto(std::uint8_t* dest) {
  for (Chunk& chunk : chunks_) {
    std::memcpy(dest, chunk.data, chunk.used);
    dest += chunk.used;
    releaseChunk(chunk);
  }
  chunks_.clear();
  size_ = 0;
}

void RecordedChunks::clear() {
  for (Chunk& chunk : chunks_) releaseChunk(chunk);
  chunks_.clear();
  size_ = 0;
}

std::size_t RecordedChunks::copyOut(std::size_t offset, std::uint8_t* dest,
                                    std::size_t count) const {
  std::size_t copied = 0;
  for (const Chunk& chunk : chunks_) {
    if (copied == count) break;
    if (offset >= chunk.used) {
      offset -= chunk.used;
      continue;
    }
    const std::size_t part = std::min(chunk.used - offset, count - copied);
    std::memcpy(dest + copied, chunk.data + offset, part);
    copied += part;
    offset = 0;
  }
  return copied;
}

}  // namespace voxloom
