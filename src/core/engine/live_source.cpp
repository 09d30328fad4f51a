#include "core/engine/live_source.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "core/engine/recording_engine.h"

namespace voxloom {

std::int64_t liveBufferSize(int seconds, const WaveFormat& format) {
  return std::int64_t{seconds} * format.samplesPerSec * format.blockAlign;
}

std::string liveBufferTooLargeText(std::int64_t bytes) {
  return "A live buffer of " + std::to_string(bytes) + " bytes is too large: it can hold at most " +
         std::to_string(std::numeric_limits<Bytes>::max()) +
         " bytes. Choose a shorter buffer time or a lower sample rate.";
}

LiveSource::LiveSource(AudioDocument& document, Prompter& prompter, RunListener report,
                       bool& menuChecked, RecParamState& params, DocumentGate& gate,
                       PlaybackControl& playback)
    : doc_(document),
      prompter_(prompter),
      report_(std::move(report)),
      menuChecked_(menuChecked),
      params_(params),
      gate_(gate),
      playback_(playback) {}

LiveSource::~LiveSource() {
  // The owner switches the mode off before it goes; this only lets go of the device.
  if (deviceOpen_ && device_ != nullptr) {
    device_->reset();
    device_->close();
  }
}

void LiveSource::setMenuChecked(bool on) {
  menuChecked_ = on;
  if (callouts.menuChanged) callouts.menuChanged();
}

void LiveSource::reportWaveInError(WaveResult code) {
  std::string text = device_ != nullptr ? device_->errorText(code) : std::string();
  if (text.size() > kWaveErrorTextMax) text.resize(kWaveErrorTextMax);
  prompter_.message(kRecordInErrorTitle, text, MessageIcon::Error, MessageButtons::Ok);
}

void LiveSource::toggleLiveMode() {
  if (!setLiveMode(!menuChecked_)) setLiveMode(false);
}

bool LiveSource::setLiveMode(bool on) {
  if (!on) {
    setMenuChecked(false);
    if (liveActive_) {
      liveActive_ = false;
      chunks_.reset();  // what the reset returns now belongs to nobody
      device_->reset();
      device_->close();
      deviceOpen_ = false;
      liveBufferQueued_ = false;
      outstanding_ = 0;
      releaseSamples();
      doc_.resetDocument();
      tellTexts();
      tellDocument();
    }
    report_(RunEvent::LiveSwitched);
    return true;
  }

  setMenuChecked(true);
  if (device_ == nullptr || dialog == nullptr || liveActive_) return false;
  if (gate_.discardDocument()) return false;
  params_.liveLayout = true;
  const bool start = dialog->askRecParam(params_);
  params_.liveLayout = false;
  if (!start) return false;

  const auto rate = parseSampleRate(params_.sampleRateText);
  if (!rate) {
    prompter_.error(kInvalidSampleRateText);
    return false;
  }
  const WaveFormat format = recordingFormat(*rate, params_.channelsItem, params_.resolutionItem);
  const int seconds = std::clamp(params_.liveSeconds, RecParamState::kLiveSecondsMin,
                                 RecParamState::kLiveSecondsMax);
  // A buffer whose size does not fit a WAV document is refused before anything changes.
  const std::int64_t size = liveBufferSize(seconds, format);
  if (size > std::numeric_limits<Bytes>::max()) {
    prompter_.error(liveBufferTooLargeText(size));
    return false;
  }

  WaveResult result = device_->query(liveDevice, format);
  auto chunks = std::make_shared<Chunks>();
  if (result == kWaveOk) {
    result = device_->open(
        liveDevice, format, [this, chunks](WaveHeader& header) { onChunkDone(*chunks, header); },
        [this](WaveResult code) { onDeviceLost(code); });
  }
  if (result != kWaveOk) {
    reportWaveInError(result);
    return false;
  }
  deviceOpen_ = true;

  // The buffer and the chunks are taken before the mode counts as on, so that a failure
  // leaves it off with an empty document.
  const Bytes dataBytes = static_cast<Bytes>(size);
  const Frames chunkFrames = std::max<Frames>(1, *rate / (1000 / kChunkMs));
  chunkBytes_ = std::min<Bytes>(chunkFrames * format.blockAlign, dataBytes);
  bool allocated = false;
  {
    BusyGuard busy(prompter_);
    releaseSamples();
    doc_.allocateSamples(dataBytes);
    try {
      chunks->bytes.assign(static_cast<std::size_t>(chunkBytes_) * kChunkCount, 0);
      allocated = doc_.samples != nullptr;
    } catch (const std::bad_alloc&) {
      allocated = false;
    }
  }
  if (!allocated) {
    releaseSamples();
    doc_.resetDocument();
    device_->close();
    deviceOpen_ = false;
    prompter_.error(kAllocFailedText);
    return false;
  }

  liveFormat_ = format;
  liveActive_ = true;
  doc_.format = format;
  doc_.frameBytes = format.bitsPerSample / 8 * format.channels;
  doc_.frameCount = doc_.frameBytes > 0 ? dataBytes / doc_.frameBytes : 0;
  doc_.nominalRate = *rate;
  chunks_ = std::move(chunks);
  rounds_ = 0;
  starved_ = 0;
  if (!startLiveCapture()) {
    setLiveMode(false);
    return false;
  }
  report_(RunEvent::LiveSwitched);
  doc_.texts.windowTitle = kLiveInitCaption;
  doc_.texts.applicationTitle = kLiveInitCaption;
  tellTexts();
  return true;
}

bool LiveSource::startLiveCapture() {
  if (!liveActive_ || !chunks_) return false;
  writePos_ = 0;
  outstanding_ = 0;
  for (int i = 0; i < kChunkCount; ++i) {
    WaveHeader& header = chunks_->headers[static_cast<std::size_t>(i)];
    header = WaveHeader{};
    header.data = chunks_->bytes.data() + static_cast<std::ptrdiff_t>(i) * chunkBytes_;
    header.bufferLength = static_cast<std::uint32_t>(chunkBytes_);
    header.user = static_cast<std::uintptr_t>(i);
    if (!queueChunk(header)) return false;
  }
  if (const WaveResult result = device_->start(); result != kWaveOk) {
    reportWaveInError(result);
    return false;
  }
  liveBufferQueued_ = true;
  return true;
}

bool LiveSource::queueChunk(WaveHeader& header) {
  WaveResult result = device_->prepare(header);
  if (result == kWaveOk) result = device_->addBuffer(header);
  if (result != kWaveOk) {
    reportWaveInError(result);
    return false;
  }
  ++outstanding_;
  return true;
}

void LiveSource::onChunkDone(const Chunks& chunks, WaveHeader& header) {
  if (device_ != nullptr) device_->unprepare(header);
  // A chunk of an earlier switch-on, returned by its reset: nothing to do.
  if (&chunks != chunks_.get() || !liveActive_) return;
  --outstanding_;
  if (outstanding_ == 0) ++starved_;
  copyIntoBuffer(header.data, header.bytesRecorded);
  if (!liveActive_) return;
  if (!queueChunk(header)) {
    // The device takes no more buffers: the mode cannot go on.
    liveBufferQueued_ = outstanding_ > 0;
    playback_.stopPlayback();
    setLiveMode(false);
  }
}

void LiveSource::copyIntoBuffer(const std::uint8_t* data, std::uint32_t count) {
  std::uint8_t* buffer = doc_.samples.get();
  if (buffer == nullptr || doc_.dataBytes <= 0 || count == 0) return;
  if (callouts.samplesWriting) callouts.samplesWriting();
  const Bytes firstByte = writePos_;
  bool wrapped = false;
  while (count > 0 && liveActive_) {
    const auto part =
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(doc_.dataBytes - writePos_));
    std::memcpy(buffer + writePos_, data, part);
    data += part;
    count -= part;
    writePos_ += static_cast<Bytes>(part);
    if (writePos_ == doc_.dataBytes) {
      writePos_ = 0;
      wrapped = true;
      bufferFull();
    }
  }
  if (callouts.samplesWritten) {
    const Bytes frameBytes = std::max<Bytes>(1, doc_.frameBytes);
    if (wrapped || writePos_ < firstByte) {
      callouts.samplesWritten(0, static_cast<Frames>(doc_.dataBytes / frameBytes));
    } else {
      callouts.samplesWritten(static_cast<Frames>(firstByte / frameBytes),
                              static_cast<Frames>((writePos_ + frameBytes - 1) / frameBytes));
    }
  }
}

void LiveSource::bufferFull() {
  ++rounds_;
  doc_.setUpDocument(kLiveTitle, false);
  tellTexts();
  tellDocument();
  report_(RunEvent::LiveRound);  // Make EVP becomes available when idle
}

void LiveSource::onDeviceLost(WaveResult code) {
  // The returned chunks may already have switched the mode off, after the same message.
  if (!liveActive_) return;
  reportWaveInError(code);
  playback_.stopPlayback();
  setLiveMode(false);
}

}  // namespace voxloom
