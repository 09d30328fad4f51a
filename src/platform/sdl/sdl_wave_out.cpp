#include "platform/sdl/sdl_wave_out.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

namespace voxloom {

namespace {

constexpr std::uint32_t kUnchangedRate = 0x10000;
// Resampled bytes ahead of the callback, in callback sizes: enough to ride out a late
// feeder wake-up, few enough that a new playback rate is heard at once. Also what a rate
// change leaves in the ring.
constexpr std::size_t kRingCallbacks = 4;
// Unresampled sound the ring can hold: more than Make EVP keeps queued (about 200 ms), so
// write() puts a whole block in at once and the callback never depends on the feeder.
constexpr std::size_t kRingMilliseconds = 500;
// Input bytes handed to the resampler at a time.
constexpr std::size_t kStreamChunk = 4096;

}  // namespace

SdlWaveOut::SdlWaveOut(EventLoop& loop) : SdlWaveDevice(loop, false) {}

SdlWaveOut::~SdlWaveOut() {
  if (device_ != 0) {
    reset();
    close();
  }
}

WaveResult SdlWaveOut::open(int device, const WaveFormat& format, WaveNotify notify,
                            WaveFailure failed) {
  if (const WaveResult check = checkOpen(device, format); check != kWaveOk) return check;
  SDL_AudioSpec wanted = *sdlSpecFor(format);
  wanted.callback = &SdlWaveOut::audioCallback;
  wanted.userdata = this;

  // Everything the callback reads is set before SDL starts its thread.
  frameBytes_ = format.blockAlign;
  silence_ = format.bitsPerSample == 8 ? 0x80 : 0x00;
  resampledLimit_ = kRingCallbacks * wanted.samples * frameBytes_;
  const std::size_t ringFrames = static_cast<std::size_t>(wanted.freq) * kRingMilliseconds / 1000;
  ring_ = ByteRing(std::max(resampledLimit_, ringFrames * frameBytes_));
  scratch_.assign(resampledLimit_, 0);
  paused_ = playedInRun_ = starved_ = false;
  consumed_ = produced_ = 0;
  underruns_ = 0;
  firstSoundAt_ = 0;
  rate_ = streamRate_ = kUnchangedRate;
  const WaveResult opened = openDevice(device, wanted, std::move(notify), std::move(failed));
  if (opened == kWaveOk) SDL_PauseAudioDevice(device_, 0);
  return opened;
}

WaveResult SdlWaveOut::close() {
  const WaveResult closed = closeDevice();
  if (closed == kWaveOk && stream_ != nullptr) {
    SDL_FreeAudioStream(stream_);
    stream_ = nullptr;
  }
  return closed;
}

WaveResult SdlWaveOut::write(WaveHeader& header) {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  if (!header.prepared) return errors_.remember(kWaveUnprepared, "");
  if (header.inQueue) return errors_.remember(kWaveStillPlaying, "");
  Block block;
  block.header = &header;
  try {
    // A copy, so the caller's memory (perhaps the live document) is only read here.
    block.bytes.assign(header.data, header.data + header.bufferLength);
  } catch (const std::bad_alloc&) {
    return errors_.remember(kWaveNoMemory, "");
  }
  {
    std::lock_guard queue(queueMutex_);
    if (lost()) return kWaveDeviceLost;
    header.inQueue = true;
    header.done = false;
    blocks_.push_back(std::move(block));
    feedRing();
    returnPlayedBlocks();  // a zero-length buffer after nothing returns now
  }
  wake_.notify_all();
  return kWaveOk;
}

WaveResult SdlWaveOut::pause() {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  std::lock_guard audio(audioMutex_);
  paused_ = true;
  return kWaveOk;
}

WaveResult SdlWaveOut::restart() {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  std::lock_guard audio(audioMutex_);
  paused_ = false;
  return kWaveOk;
}

WaveResult SdlWaveOut::reset() {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  std::lock_guard queue(queueMutex_);
  dropQueuedSound();
  for (Block& block : blocks_) {
    // Done at once, so a caller that polls sees it without waiting for the loop.
    block.header->inQueue = false;
    block.header->done = true;
    returnBlock(block);
  }
  blocks_.clear();
  return kWaveOk;
}

WaveResult SdlWaveOut::setPlaybackRate(std::uint32_t factor) {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  if (factor == 0) return errors_.remember(kWaveBadParam, "");
  {
    std::lock_guard queue(queueMutex_);
    rate_ = factor;
  }
  wake_.notify_all();
  return kWaveOk;
}

void SDLCALL SdlWaveOut::audioCallback(void* self, Uint8* stream, int len) {
  static_cast<SdlWaveOut*>(self)->fillDevice(stream, len);
}

void SdlWaveOut::fillDevice(Uint8* stream, int len) {
  const auto wanted = static_cast<std::size_t>(len);
  std::lock_guard audio(audioMutex_);
  const std::size_t got = paused_ ? 0 : ring_.read(stream, wanted);
  consumed_ += got;
  if (got < wanted) std::memset(stream + got, silence_, wanted - got);
  if (paused_) return;
  if (got > 0) {
    if (firstSoundAt_.load(std::memory_order_relaxed) == 0) {
      firstSoundAt_.store(std::chrono::steady_clock::now().time_since_epoch().count());
    }
    if (starved_) underruns_.fetch_add(1);
    starved_ = false;
    playedInRun_ = true;
  }
  if (got < wanted && playedInRun_) starved_ = true;
}

bool SdlWaveOut::transfer() {
  const bool progressed = feedRing();
  returnPlayedBlocks();
  return progressed;
}

void SdlWaveOut::dropQueuedSound() {
  {
    std::lock_guard audio(audioMutex_);
    ring_.clear();
    paused_ = playedInRun_ = starved_ = false;
    produced_ = consumed_;
  }
  if (stream_ != nullptr) SDL_AudioStreamClear(stream_);
  streamHoldsInput_ = false;
}

void SdlWaveOut::returnAllOnLoss() {
  dropQueuedSound();
  for (Block& block : blocks_) returnBlock(block);
  blocks_.clear();
}

void SdlWaveOut::takeBackUnplayed() {
  std::lock_guard audio(audioMutex_);
  std::size_t excess = ring_.size() > resampledLimit_ ? ring_.size() - resampledLimit_ : 0;
  std::size_t back = 0;
  // Newest first: each block gives back what it put in, to be fed again at the new rate.
  for (auto block = blocks_.rbegin(); block != blocks_.rend() && excess > 0; ++block) {
    std::size_t count = std::min(excess, block->taken);
    const bool partly = count < block->taken;
    if (partly) {
      // What stays fed ends on a whole frame: the resampler takes whole frames only.
      const std::size_t kept = block->taken - count;
      count = block->taken -
              std::min(block->taken, (kept + frameBytes_ - 1) / frameBytes_ * frameBytes_);
    }
    block->taken -= count;
    block->converted = false;
    back += count;
    excess = partly ? 0 : excess - count;
  }
  produced_ -= ring_.dropNewest(back);
}

bool SdlWaveOut::applyRate() {
  if (rate_ == streamRate_) return false;
  if (stream_ == nullptr) takeBackUnplayed();
  if (stream_ != nullptr) {
    // Let the old rate's sound out first; nothing converted is dropped.
    if (streamHoldsInput_) SDL_AudioStreamFlush(stream_);
    streamHoldsInput_ = false;
    if (SDL_AudioStreamAvailable(stream_) > 0) return false;
    SDL_FreeAudioStream(stream_);
    stream_ = nullptr;
  }
  streamRate_ = rate_;
  if (rate_ != kUnchangedRate) {
    // The samples are taken as recorded at factor times the device rate.
    const auto source = static_cast<std::uint64_t>(spec_.freq) * rate_ / kUnchangedRate;
    const int sourceRate = static_cast<int>(std::clamp<std::uint64_t>(source, 1, 16 * 768000));
    // A failure leaves the rate unchanged, which callers accept.
    stream_ = SDL_NewAudioStream(spec_.format, spec_.channels, sourceRate, spec_.format,
                                 spec_.channels, spec_.freq);
  }
  return true;
}

bool SdlWaveOut::feedRing() {
  bool progressed = applyRate();
  std::size_t space = 0;
  {
    std::lock_guard audio(audioMutex_);
    space = ring_.space();
    if (stream_ != nullptr) {
      space = std::min(space, resampledLimit_ - std::min(resampledLimit_, ring_.size()));
    }
  }
  auto next =
      std::find_if(blocks_.begin(), blocks_.end(), [](const Block& b) { return !b.converted; });

  if (stream_ == nullptr) {
    for (; next != blocks_.end(); ++next) {
      const std::size_t count = std::min(space, next->bytes.size() - next->taken);
      if (count > 0) {
        std::lock_guard audio(audioMutex_);
        ring_.write(next->bytes.data() + next->taken, count);
      }
      next->taken += count;
      produced_ += count;
      space -= count;
      progressed = progressed || count > 0;
      if (next->taken < next->bytes.size()) break;
      next->converted = true;
      next->endAt = produced_;
      progressed = true;
    }
    return progressed;
  }

  // While a new rate waits, only drain the stream.
  const bool rateWaits = rate_ != streamRate_;
  while (!rateWaits && next != blocks_.end() &&
         static_cast<std::size_t>(SDL_AudioStreamAvailable(stream_)) < space) {
    // Whole frames only; a trailing partial frame is not sound anyway.
    const std::size_t usable = next->bytes.size() - next->bytes.size() % frameBytes_;
    std::size_t count = std::min(usable - std::min(next->taken, usable), kStreamChunk);
    count -= count % frameBytes_;
    if (count > 0) {
      SDL_AudioStreamPut(stream_, next->bytes.data() + next->taken, static_cast<int>(count));
      streamHoldsInput_ = true;
      next->taken += count;
    }
    if (count == 0 || next->taken >= usable) {
      next->taken = next->bytes.size();
      next->converted = true;
      if (std::next(next) == blocks_.end() && streamHoldsInput_) {
        // Nothing more queued: let the resampler's held-back tail out, so the buffer
        // returns only after all of it has sounded.
        SDL_AudioStreamFlush(stream_);
        streamHoldsInput_ = false;
      }
      next->endAt = produced_ + static_cast<std::uint64_t>(SDL_AudioStreamAvailable(stream_));
      ++next;
    }
    progressed = true;
  }
  const std::size_t room = std::min(space, scratch_.size()) / frameBytes_ * frameBytes_;
  const int got =
      room > 0 ? SDL_AudioStreamGet(stream_, scratch_.data(), static_cast<int>(room)) : 0;
  if (got > 0) {
    std::lock_guard audio(audioMutex_);
    ring_.write(scratch_.data(), static_cast<std::size_t>(got));
    produced_ += static_cast<std::uint64_t>(got);
    progressed = true;
  }
  return progressed;
}

void SdlWaveOut::returnPlayedBlocks() {
  std::uint64_t consumed = 0;
  {
    std::lock_guard audio(audioMutex_);
    consumed = consumed_;
  }
  while (!blocks_.empty() && blocks_.front().converted && blocks_.front().endAt <= consumed) {
    returnBlock(blocks_.front());
    blocks_.pop_front();
  }
}

void SdlWaveOut::returnBlock(Block& block) {
  // The header changes on the loop thread only, right before its notification.
  loop_.post([notify = notify_, header = block.header] {
    header->inQueue = false;
    header->done = true;
    if (notify) notify(*header);
  });
}

}  // namespace voxloom
