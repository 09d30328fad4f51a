#include "platform/sdl/sdl_wave_in.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

namespace voxloom {

namespace {

// Captured bytes the ring holds, in callback sizes, while the collector sleeps.
constexpr std::size_t kRingCallbacks = 8;

}  // namespace

SdlWaveIn::SdlWaveIn(EventLoop& loop) : loop_(loop) {}

SdlWaveIn::~SdlWaveIn() {
  if (device_ != 0) {
    reset();
    close();
  }
}

WaveDeviceNames SdlWaveIn::deviceNames() {
  return system_.ready() ? sdlDeviceNames(true) : WaveDeviceNames{};
}

WaveResult SdlWaveIn::query(int device, const WaveFormat& format) {
  if (!system_.ready()) return errors_.remember(kWaveNoDriver, system_.failure());
  return errors_.remember(checkSdlDevice(device, format, true), "");
}

WaveResult SdlWaveIn::open(int device, const WaveFormat& format, WaveNotify notify,
                           WaveFailure failed) {
  if (device_ != 0) return errors_.remember(kWaveError, "The recording device is already open.");
  if (!system_.ready()) return errors_.remember(kWaveNoDriver, system_.failure());
  if (const WaveResult check = checkSdlDevice(device, format, true); check != kWaveOk) {
    return errors_.remember(check, "");
  }
  SDL_AudioSpec wanted = *sdlSpecFor(format);
  wanted.callback = &SdlWaveIn::audioCallback;
  wanted.userdata = this;
  if (callbackFrames_ != 0) wanted.samples = callbackFrames_;

  // Everything the callback reads is set before SDL starts its thread.
  ring_ = ByteRing(kRingCallbacks * wanted.samples * format.blockAlign);
  scratch_.assign(ring_.capacity(), 0);
  capturing_ = running_ = quit_ = lost_ = false;
  overruns_ = 0;
  notify_ = std::move(notify);
  failed_ = std::move(failed);

  std::string name;
  if (device != kWaveDefaultDevice) {
    const char* found = SDL_GetAudioDeviceName(device, 1);
    name = found != nullptr ? found : "";
  }
  // SDL opens the device paused: nothing is captured before start().
  device_ = SDL_OpenAudioDevice(device == kWaveDefaultDevice ? nullptr : name.c_str(), 1, &wanted,
                                &spec_, 0);
  if (device_ == 0) {
    notify_ = nullptr;
    failed_ = nullptr;
    return errors_.remember(kWaveError, sdlErrorText("The recording device could not be opened."));
  }
  collector_ = std::thread(&SdlWaveIn::collectLoop, this);
  return kWaveOk;
}

WaveResult SdlWaveIn::close() {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  {
    std::lock_guard queue(queueMutex_);
    if (!blocks_.empty()) return errors_.remember(kWaveStillPlaying, "");
  }
  stopCollector();
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  notify_ = nullptr;
  failed_ = nullptr;
  return kWaveOk;
}

void SdlWaveIn::stopCollector() {
  {
    std::lock_guard queue(queueMutex_);
    quit_ = true;
  }
  wake_.notify_all();
  collector_.join();
}

WaveResult SdlWaveIn::prepare(WaveHeader& header) {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  if (header.data == nullptr && header.bufferLength > 0) return errors_.remember(kWaveBadParam, "");
  header.prepared = true;
  return kWaveOk;
}

WaveResult SdlWaveIn::unprepare(WaveHeader& header) {
  if (header.inQueue) return errors_.remember(kWaveStillPlaying, "");
  header.prepared = false;
  return kWaveOk;
}

WaveResult SdlWaveIn::addBuffer(WaveHeader& header) {
  if (device_ == 0) return errors_.remember(kWaveNotOpen, "");
  if (!header.prepared) return errors_.remember(kWaveUnprepared, "");
  if (header.inQueue) return errors_.remember(kWaveStillPlaying, "");
  {
    std::lock_guard queue(queueMutex_);
    if (lost_) return kWaveDeviceLost;
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
    if (lost_) return kWaveDeviceLost;
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

std::string SdlWaveIn::errorText(WaveResult code) {
  if (code == kWaveDeviceLost) {
    std::lock_guard queue(queueMutex_);
    if (!lostText_.empty()) return limitWaveErrorText(lostText_);
  }
  return errors_.text(code);
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

void SdlWaveIn::collectLoop() {
  const long callbackMs = 1000L * spec_.samples / std::max(spec_.freq, 1);
  const auto poll = std::chrono::milliseconds(std::clamp(callbackMs / 4, 1L, 5L));
  const SdlThreadCleanup cleanup;
  SDL_ClearError();  // per thread: what SDL says later on this thread is about the device
  std::unique_lock queue(queueMutex_);
  while (!quit_) {
    if (deviceGone()) {
      loseDevice();
      continue;
    }
    if (collect()) continue;
    if (running_) {
      wake_.wait_for(queue, poll);
    } else {
      wake_.wait(queue);
    }
  }
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

bool SdlWaveIn::deviceGone() {
  // Only a capture into queued buffers waits for the device; reset() pauses it in SDL,
  // which reads paused, never stopped.
  return !lost_ && running_ && !blocks_.empty() && statusQuery_(device_) == SDL_AUDIO_STOPPED;
}

void SdlWaveIn::loseDevice() {
  lost_ = true;
  const char* said = SDL_GetError();
  lostText_ = said != nullptr && *said != '\0' ? said : kDeviceRemovedText;
  {
    std::lock_guard audio(audioMutex_);
    capturing_ = false;
  }
  running_ = false;
  collect();  // what arrived before the loss belongs to the buffers being returned
  for (const Block& block : blocks_) returnBlock(block);
  blocks_.clear();
  {
    std::lock_guard audio(audioMutex_);
    ring_.clear();
  }
  // Posted after the returns, so the owner has all its buffers back when it hears of it.
  loop_.post([failed = failed_] {
    if (failed) failed(kWaveDeviceLost);
  });
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
