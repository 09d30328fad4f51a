#include "core/engine/recording_engine.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>

#include "core/effects/normalize.h"

namespace voxloom {

namespace {

std::uint8_t silenceByte(const WaveFormat& format) {
  return format.bitsPerSample == 8 ? 128 : 0;
}

}  // namespace

RecordingEngine::RecordingEngine(AudioDocument& document, Prompter& prompter, const int& runState,
                                 RunListener report, DocumentGate& gate)
    : doc_(document),
      prompter_(prompter),
      runState_(runState),
      report_(std::move(report)),
      gate_(gate) {}

RecordingEngine::~RecordingEngine() {
  // The owner drains a recording before it goes; this only lets go of the device.
  if (open_ && device_ != nullptr) {
    device_->reset();
    device_->close();
  }
}

int RecordingEngine::startRecording() {
  if (device_ == nullptr || open_ || dialog == nullptr) return 1;
  if (gate_.discardDocument()) return 1;
  params.liveLayout = false;
  if (!dialog->askRecParam(params)) return 1;

  const auto rate = parseSampleRate(params.sampleRateText);
  const WaveFormat format =
      recordingFormat(rate.value_or(0), params.channelsItem, params.resolutionItem);
  // A rate too small for one frame per buffer, or too large for a buffer, is no rate.
  const auto bufferBytes = rate ? recordBufferBytes(bufferTimeMs, format) : std::nullopt;
  if (!bufferBytes) {
    prompter_.error(kInvalidSampleRateText);
    return 1;
  }

  WaveResult result = device_->query(recordDevice, format);
  if (result == kWaveOk) {
    result = device_->open(
        recordDevice, format, [this](WaveHeader& h) { onRecordBufferDone(h); },
        [this](WaveResult code) { onRecordDeviceLost(code); });
  }
  if (result != kWaveOk) {
    reportWaveInError(result);
    return 1;
  }
  try {
    for (auto& block : blocks_) block.assign(static_cast<std::size_t>(*bufferBytes), 0);
  } catch (const std::bad_alloc&) {
    device_->close();
    prompter_.error(kAllocFailedText);
    return 1;
  }

  open_ = true;
  format_ = format;
  bufferBytes_ = *bufferBytes;
  report_(RunEvent::RecordingStarted);
  levelWasVisible_ = level.state.visible;
  level.setVisible(true);
  recorded_.clear();
  dataBytes_ = 0;
  recordPeak_ = 0;
  outOfMemory_ = false;
  outstanding_ = 0;
  for (int i = 0; i < static_cast<int>(headers_.size()); ++i) queueBuffer(i);
  device_->start();
  showRecordingStatus();
  return 0;
}

void RecordingEngine::queueBuffer(int index) {
  auto& block = blocks_[static_cast<std::size_t>(index)];
  std::fill(block.begin(), block.end(), silenceByte(format_));
  WaveHeader& header = headers_[static_cast<std::size_t>(index)];
  header = WaveHeader{};
  header.data = block.data();
  header.bufferLength = static_cast<std::uint32_t>(block.size());
  header.user = static_cast<std::uintptr_t>(index);
  device_->prepare(header);
  // A buffer the device did not take never comes back, so it must not be waited for.
  if (device_->addBuffer(header) == kWaveOk) ++outstanding_;
}

void RecordingEngine::stopRecording() {
  if (runState_ != kStateRecording) return;
  report_(RunEvent::Stopping);
  resetDevice();
}

void RecordingEngine::resetDevice() {
  if (open_ && device_ != nullptr) device_->reset();
}

void RecordingEngine::onRecordBufferDone(WaveHeader& header) {
  if (!open_) return;
  device_->unprepare(header);
  --outstanding_;
  dataBytes_ += header.bytesRecorded;
  processRecordedBuffer(header);
  if (!outOfMemory_ && !recorded_.append(header.data, header.bytesRecorded)) {
    // What cannot be kept makes the whole take useless: end it now.
    outOfMemory_ = true;
    stopRecording();
  }

  if (runState_ == kStateRecording) {
    queueBuffer(static_cast<int>(header.user));  // the device always has two buffers
    showRecordingStatus();
    return;
  }
  showRecordingStatus();
  if (!levelWasVisible_) level.setVisible(false);
  if (outstanding_ > 0) return;  // later buffers are still on their way back
  finishRecording();
}

void RecordingEngine::onRecordDeviceLost(WaveResult code) {
  // Everything recorded up to the loss is whole audio, so it becomes the new document just
  // as after Stop; throwing a long take away for a pulled plug would be the worse choice.
  if (open_) {
    stopRecording();  // nothing when Stop came first
    // The returned buffers have been handled and none could be queued again; the take
    // ends here unless a device broke its word and still holds some.
    if (outstanding_ <= 0) {
      if (!levelWasVisible_) level.setVisible(false);
      finishRecording();
    }
  }
  reportWaveInError(code);
}

void RecordingEngine::processRecordedBuffer(WaveHeader& header) {
  const std::int32_t gain = level.state.boostGain();
  const bool boost = level.state.boostChecked;
  const int bits = format_.bitsPerSample;
  const std::int64_t hi = (std::int64_t{1} << (bits - 1)) - 1;
  const std::int64_t lo = -(std::int64_t{1} << (bits - 1));
  recordPeak_ = 0;
  if (format_.blockAlign == 0) return;
  const std::uint32_t samples = header.bytesRecorded / format_.blockAlign * format_.channels;
  std::uint8_t* p = header.data;
  std::int64_t peak = 0;
  for (std::uint32_t i = 0; i < samples; ++i) {
    std::int64_t s = 0;
    if (bits == 16) {
      s = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
    } else {
      s = static_cast<std::int64_t>(p[i]) - 128;
    }
    if (boost) {
      s = std::clamp<std::int64_t>(s * gain, lo, hi);
      if (bits == 16) {
        const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(s));
        p[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
        p[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
      } else {
        p[i] = static_cast<std::uint8_t>(s + 128);
      }
    }
    peak = std::max(peak, s < 0 ? -s : s);
  }
  recordPeak_ = static_cast<std::int32_t>(peak);
}

void RecordingEngine::showRecordingStatus() {
  doc_.texts.windowTitle = kRecordingCaption;
  doc_.texts.applicationTitle = kRecordingCaption;
  doc_.texts.status[0] = "Sample: " + std::to_string(format_.samplesPerSec) + " Hz \u00B7 " +
                         std::to_string(format_.bitsPerSample) + " Bit \u00B7 " +
                         (format_.channels == 1 ? "Mono" : "Stereo");
  doc_.texts.status[1] = std::to_string(dataBytes_ / 1024) + " KB";
  const double seconds =
      format_.avgBytesPerSec == 0 ? 0.0 : static_cast<double>(dataBytes_) / format_.avgBytesPerSec;
  doc_.texts.status[2] = "Time: " + timeText(seconds);
  tellTexts();
  level.showLevel(recordPeak_, format_.bitsPerSample);
}

void RecordingEngine::reportWaveInError(WaveResult code) {
  std::string text = device_ != nullptr ? device_->errorText(code) : std::string();
  if (text.size() > kWaveErrorTextMax) text.resize(kWaveErrorTextMax);
  prompter_.message(kRecordInErrorTitle, text, MessageIcon::Error, MessageButtons::Ok);
}

void RecordingEngine::finishRecording() {
  device_->close();
  open_ = false;
  bool taken = false;
  if (outOfMemory_) {
    prompter_.error(kAllocFailedText);
  } else if (recorded_.size() > 0) {
    taken = joinIntoDocument();
  }
  if (taken) {
    doc_.setUpDocument("", true);  // shows as "New File"
    doc_.markModified();
    tellTexts();
    if (params.normalize) {
      const std::string caption = doc_.texts.windowTitle;
      doc_.texts.windowTitle = kNormalizingCaption;
      tellTexts();
      {
        BusyGuard busy(prompter_);
        normalizeSignal(doc_);
      }
      doc_.texts.windowTitle = caption;
      tellTexts();
    }
  } else {
    recorded_.clear();
    doc_.resetDocument();
    tellTexts();
  }
  if (callouts.documentChanged) callouts.documentChanged();
  report_(RunEvent::Ended);
}

bool RecordingEngine::joinIntoDocument() {
  const std::size_t total = recorded_.size();
  if (total > static_cast<std::size_t>(std::numeric_limits<Bytes>::max())) {
    prompter_.error(kAllocFailedText);  // beyond what a WAV document can hold
    return false;
  }
  doc_.allocateSamples(static_cast<Bytes>(total));
  if (doc_.samples == nullptr) {
    prompter_.error(kAllocFailedText);
    return false;
  }
  doc_.texts.windowTitle = kCopyingCaption;
  tellTexts();
  {
    BusyGuard busy(prompter_);
    recorded_.moveInto(doc_.samples.get());
  }
  doc_.format = format_;
  doc_.clearCues();
  return true;
}

}  // namespace voxloom
