#include "core/util/line_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "core/util/write_fully.h"

namespace voxloom {

namespace {

// The writers a signal handler may flush, kept where it can read them without
// allocating or locking. `end` counts the bytes of whole lines in the buffer; `base` is
// the file offset of the buffer's first byte. After a flush the writer sets `end` to 0
// before it moves `base`, so a handler that compares the file's offset with `base`
// never writes a byte twice, whatever instruction it interrupted.
enum SlotState : int { kFree, kFilling, kArmed };

struct FlushSlot {
  std::atomic<int> state{kFree};
  int fd = -1;
  const char* buffer = nullptr;
  std::atomic<std::size_t> end{0};
  std::atomic<std::int64_t> base{0};
};

constexpr int kFlushSlots = 8;
FlushSlot flushSlots[kFlushSlots];
static_assert(std::atomic<std::size_t>::is_always_lock_free);
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

}  // namespace

LineWriter::LineWriter() : buffer_(new char[kCapacity]) {}

LineWriter::~LineWriter() {
  stop();
}

void LineWriter::start(int fd, bool onSignals) {
  stop();
  fd_ = fd;
  size_ = 0;
  written_ = 0;
  failed_ = false;
  if (!onSignals) return;
  // An O_APPEND descriptor is at offset 0 until its first write: move it to the end so
  // that its offset says what was written.
  const int flags = fcntl(fd, F_GETFL);
  const off_t offset = ::lseek(fd, 0, flags >= 0 && (flags & O_APPEND) ? SEEK_END : SEEK_CUR);
  for (int i = 0; i < kFlushSlots; ++i) {
    int expected = kFree;
    if (flushSlots[i].state.compare_exchange_strong(expected, kFilling)) {
      FlushSlot& slot = flushSlots[i];
      slot.fd = fd;
      slot.buffer = buffer_.get();
      slot.end.store(0);
      slot.base.store(offset < 0 ? 0 : offset);
      slot.state.store(kArmed);
      slot_ = i;
      return;
    }
  }
  // More logs at once than slots: this one is only written as it fills and at stop().
}

bool LineWriter::stop() {
  if (fd_ < 0) return true;
  flush();
  if (slot_ >= 0) flushSlots[slot_].state.store(kFree);
  slot_ = -1;
  fd_ = -1;
  const bool ok = !failed_;
  failed_ = false;
  return ok;
}

void LineWriter::line(std::string_view prefix, std::string_view text) {
  if (fd_ < 0) return;
  const std::size_t need = prefix.size() + text.size() + 1;
  if (size_ + need > kCapacity) flush();
  if (need > kCapacity) {  // longer than the buffer: no line of a log is
    writeOut(prefix.data(), prefix.size());
    writeOut(text.data(), text.size());
    writeOut("\n", 1);
    rebase();
    return;
  }
  char* at = buffer_.get() + size_;
  // An empty view may hold no pointer at all, which memcpy must not be given.
  if (!prefix.empty()) std::memcpy(at, prefix.data(), prefix.size());
  if (!text.empty()) std::memcpy(at + prefix.size(), text.data(), text.size());
  at[need - 1] = '\n';
  size_ += need;
  // Published only now: a handler sees whole lines.
  if (slot_ >= 0) flushSlots[slot_].end.store(size_);
}

void LineWriter::flush() {
  if (size_ == 0) return;
  writeOut(buffer_.get(), size_);
  size_ = 0;
  rebase();
}

void LineWriter::rebase() {
  if (slot_ < 0) return;
  flushSlots[slot_].end.store(0);
  const off_t offset = ::lseek(fd_, 0, SEEK_CUR);
  flushSlots[slot_].base.store(offset < 0 ? 0 : offset);
}

void LineWriter::writeOut(const char* data, std::size_t size) {
  std::size_t done = 0;
  if (!writeFully(fd_, data, size, done)) failed_ = true;
  written_ += done;
}

void writePendingLinesNow() noexcept {
  const int savedErrno = errno;
  for (FlushSlot& slot : flushSlots) {
    if (slot.state.load() != kArmed) continue;
    const std::size_t end = slot.end.load();
    const std::int64_t base = slot.base.load();
    // What of the buffer the file already has: a flush may have been interrupted after
    // its write() returned. A log that cannot seek (a pipe) is written from the start.
    const off_t offset = ::lseek(slot.fd, 0, SEEK_CUR);
    std::int64_t from = offset < 0 ? 0 : offset - base;
    if (from < 0) from = 0;
    if (static_cast<std::size_t>(from) >= end) continue;
    std::size_t done = 0;
    writeFully(slot.fd, slot.buffer + from, end - static_cast<std::size_t>(from), done);
  }
  errno = savedErrno;
}

}  // namespace voxloom
