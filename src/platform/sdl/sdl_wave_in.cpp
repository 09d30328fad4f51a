#include "platform/sdl/sdl_wave_in.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace voxloom {

namespace {

// Captured bytes the ring holds, in callback sizes, while the collector sleeps.
constexpr std::size_t kRingCallbacks = 8;

}  // namespace

SdlWaveIn::SdlWaveIn(EventLoop& loop) : SdlWaveDevice(loop, true) {}

SdlWaveIn::~SdlWaveIn() {
  if (device_ != 0) {
    reset();
    close();
  }
}

WaveResult SdlWaveIn::open(int device, const WaveFormat& format, WaveNotify notify,
                           WaveFailure failed) {
  if (const WaveResult check = checkOpen(device, format); check != kWaveOk) return check;
  SDL_AudioSpec wanted = *sdlSpecFor(format);
  wanted.callback = &SdlWaveIn::audioCallback;
  wanted.userdata = this;
  if (callbackFrames_ != 0) wanted.samples = callbackFrames_;

  // Everything the callback reads is set before SDL starts its thread.
  ring_ = ByteRing(kRingCallbacks * wanted.samples * format.blockAlign);
  scratch_.assign(ring_.capacity(), 0);
  capturing_ = running_ = false;
  overruns_ = 0;
  // SDL opens the device paused: nothing is captured before start().
  return openDevice(device, wanted, std::move(notify), std::move(failed));
}

WaveResult SdlWaveIn::addBuffer(WaveHeader& header) {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  if (!header.prepared) return errors_.remember(kWaveUnprepared, "");
  if (header.inQueue) return errors_.remember(kWaveStillPlaying, "");
  {
    std::lock_guard queue(queueMutex_);
    if (lost()) return kWaveDeviceLost;
    header.inQueue = true;
    header.done = false;
    header.bytesRecorded = 0;
    blocks_.push_back(Block{&header, header.data, header.bufferLength, 0});
    returnFullBlocks();  // a zero-length buffer at the front returns now
  }
  wake_.notify_all();
  return kWaveOk;
}

WaveResult SdlWaveIn::start() {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  {
    std::lock_guard queue(queueMutex_);
    if (lost()) return kWaveDeviceLost;
    running_ = true;
    std::lock_guard audio(audioMutex_);
    capturing_ = true;
  }
  wake_.notify_all();
  SDL_PauseAudioDevice(device_, 0);
  return kWaveOk;
}

WaveResult SdlWaveIn::reset() {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  // Returns once the callback has finished, so nothing arrives after the buffers leave.
  SDL_PauseAudioDevice(device_, 1);
  std::lock_guard queue(queueMutex_);
  {
    std::lock_guard audio(audioMutex_);
    capturing_ = false;
  }
  running_ = false;
  collect();  // what was captured belongs to the buffers being returned
  for (const Block& block : blocks_) {
    // Done at once, so a caller that polls sees it without waiting for the loop.
    block.header->bytesRecorded = block.filled;
    block.header->inQueue = false;
    block.header->done = true;
    returnBlock(block);
  }
  blocks_.clear();
  std::lock_guard audio(audioMutex_);
  ring_.clear();
  return kWaveOk;
}

void SDLCALL SdlWaveIn::audioCallback(void* self, Uint8* stream, int len) {
  static_cast<SdlWaveIn*>(self)->takeCaptured(stream, len);
}

void SdlWaveIn::takeCaptured(const Uint8* stream, int len) {
  const auto count = static_cast<std::size_t>(len);
  std::lock_guard audio(audioMutex_);
  if (!capturing_) return;
  if (ring_.write(stream, count) < count) overruns_.fetch_add(1);
}

bool SdlWaveIn::collect() {
  std::size_t count = 0;
  {
    std::lock_guard audio(audioMutex_);
    count = ring_.read(scratch_.data(), scratch_.size());
  }
  // Audio that finds no buffer is lost, as with any sound card.
  std::size_t offset = 0;
  while (offset < count && !blocks_.empty()) {
    Block& block = blocks_.front();
    const std::size_t part = std::min<std::size_t>(count - offset, block.length - block.filled);
    std::memcpy(block.data + block.filled, scratch_.data() + offset, part);
    block.filled += static_cast<std::uint32_t>(part);
    offset += part;
    returnFullBlocks();
  }
  return count > 0;
}

void SdlWaveIn::returnAllOnLoss() {
  {
    std::lock_guard audio(audioMutex_);
    capturing_ = false;
  }
  running_ = false;
  collect();  // what arrived before the loss belongs to the buffers being returned
  for (const Block& block : blocks_) returnBlock(block);
  blocks_.clear();
  std::lock_guard audio(audioMutex_);
  ring_.clear();
}

void SdlWaveIn::returnFullBlocks() {
  while (!blocks_.empty() && blocks_.front().filled == blocks_.front().length) {
    returnBlock(blocks_.front());
    blocks_.pop_front();
  }
}

void SdlWaveIn::returnBlock(const Block& block) {
  // The header changes on the loop thread only, right before its notification.
  loop_.post([notify = notify_, header = block.header, filled = block.filled] {
    header->bytesRecorded = filled;
    header->inQueue = false;
    header->done = true;
    if (notify) notify(*header);
  });
}

}  // namespace voxloom
