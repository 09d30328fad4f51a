#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace voxloom {

// The bytes of a recording while it runs, in chunks that grow with the recording (about
// 1/16 of what is held, 64 KiB to 8 MiB), so the unused tail stays a small share. At the
// end they are joined once into the document's buffer; each chunk goes back to the
// system as soon as it has been copied, so the join needs no second copy of the whole.
class RecordedChunks {
 public:
  RecordedChunks() = default;
  RecordedChunks(const RecordedChunks&) = delete;
  RecordedChunks& operator=(const RecordedChunks&) = delete;
  ~RecordedChunks() { clear(); }

  // False when no memory could be had for a new chunk; what found room is kept.
  bool append(const std::uint8_t* bytes, std::size_t count);
  std::size_t size() const { return size_; }
  // Bytes taken from the system, including the unused tail of the last chunk.
  std::size_t reserved() const;
  std::size_t chunkCount() const { return chunks_.size(); }

  // Copies up to `count` bytes from `offset` on to dest, keeping the chunks; returns how
  // many (a view of the recording as it grows).
  std::size_t copyOut(std::size_t offset, std::uint8_t* dest, std::size_t count) const;
  // Copies everything to dest (size() bytes) in order and releases the chunks.
  void moveInto(std::uint8_t* dest);
  void clear();

 private:
  struct Chunk {
    std::uint8_t* data = nullptr;
    std::size_t capacity = 0;
    std::size_t used = 0;
  };
  static std::uint8_t* allocateChunk(std::size_t bytes);
  static void releaseChunk(Chunk& chunk);

  std::vector<Chunk> chunks_;
  std::size_t size_ = 0;
};

}  // namespace voxloom
