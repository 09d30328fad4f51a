#include "core/random/sound_card_source.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/random/recording_level.h"

namespace voxloom {
namespace {

WaveFormat captureFormat(std::uint32_t rate) {
  WaveFormat f;
  f.formatTag = WaveFormat::kPcm;
  f.channels = 1;
  f.samplesPerSec = rate;
  f.avgBytesPerSec = 2 * rate;
  f.blockAlign = 2;
  f.bitsPerSample = 16;
  f.extraSize = 0;
  return f;
}

}  // namespace

bool SoundCardSource::fail(SourceHost& host, WaveResult code) {
  host.endRun();
  closeInput();  // an owner without the engine's stop still closes the device
  std::string text = device != nullptr ? device->errorText(code) : std::string();
  if (text.size() > kWaveErrorTextMax) text.resize(kWaveErrorTextMax);
  host.prompter.message(kRecordInErrorTitle, text, MessageIcon::Error, MessageButtons::Ok);
  return false;
}

bool SoundCardSource::captureNoiseBlock(RandomBatch& batch, bool bestRate, SourceHost& host,
                                        int need) {
  if (device == nullptr || loop == nullptr) return fail(host, kWaveBadDevice);
  if (!open_) {
    const std::uint32_t docRate = documentRate ? documentRate() : 0;
    std::uint32_t rate = (bestRate || docRate == 0) ? kBestRate : docRate;
    WaveResult r = device->query(deviceIndex, captureFormat(rate));
    if (r != kWaveOk) {
      rate = docRate;
      r = device->query(deviceIndex, captureFormat(rate));
      if (r != kWaveOk) return fail(host, r);
    }
    lost_ = kWaveOk;
    r = device->open(deviceIndex, captureFormat(rate), {},
                     [this](WaveResult code) { lost_ = code; });
    if (r != kWaveOk) return fail(host, r);
    open_ = true;
  }

  header_ = WaveHeader{};
  header_.data = reinterpret_cast<std::uint8_t*>(batch.values16.data());
  header_.bufferLength = kBlockSamples * 2;
  WaveResult r = device->prepare(header_);
  if (r == kWaveOk) r = device->addBuffer(header_);
  if (r == kWaveOk) r = device->start();
  if (r != kWaveOk) return fail(host, r);

  // The loop keeps running meanwhile, so Stop can arrive; it closes the device, whose
  // reset hands the block back at once.
  waiting_ = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool timedOut = false;
  while (!header_.done && open_ && lost_ == kWaveOk) {
    loop->processPending();
    if (header_.done || !open_ || lost_ != kWaveOk) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      timedOut = true;
      device->reset();
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  waiting_ = false;
  if (!open_) {
    // Stopped during the wait: the run is over, there is nothing to report.
    host.stop.stopRequested = true;
    return false;
  }
  loop->processPending();  // a loss is told after the block it returned
  if (lost_ != kWaveOk) return fail(host, lost_);
  const int samples = static_cast<int>(header_.bytesRecorded / 2);
  device->unprepare(header_);

  if (samples < need || timedOut) {
    host.endRun();
    closeInput();
    host.prompter.error(kNoWaveDataText);
    return false;
  }

  const bool boost = level != nullptr && level->state.boostChecked;
  const std::int32_t gain = level != nullptr ? level->state.boostGain() : 1;
  std::int32_t peak = 0;
  for (int i = 0; i < samples; ++i) {
    std::int32_t s = batch.values16[static_cast<std::size_t>(i)];
    if (boost) {
      s = static_cast<std::int32_t>(
          std::clamp<std::int64_t>(std::int64_t{s} * gain, -32768, 32767));
      batch.values16[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(s);
    }
    peak = std::max(peak, std::abs(s));
  }
  if (level != nullptr) level->showLevel(peak, 16);
  batch.count = samples;
  batch.index = 0;
  return true;
}

void SoundCardSource::closeInput() {
  if (!open_ || device == nullptr) return;
  open_ = false;
  device->reset();
  if (header_.prepared) device->unprepare(header_);
  device->close();
}

}  // namespace voxloom
