#include "tests/support/sim_wave_out.h"

#include <utility>

namespace voxloom::test {

void SimWaveOut::failOpen(WaveResult code, std::string text, bool onQuery) {
  failOpen_ = code;
  failText_ = std::move(text);
  failQuery_ = onQuery;
}

WaveResult SimWaveOut::query(int device, const WaveFormat& format) {
  if (failQuery_ && failOpen_ != kWaveOk) return failOpen_;
  if (device < kWaveDefaultDevice || device >= static_cast<int>(names.size())) {
    return kWaveBadDevice;
  }
  return format.isStandardPcm() ? kWaveOk : kWaveBadFormat;
}

WaveResult SimWaveOut::open(int device, const WaveFormat& format, WaveNotify notify,
                            WaveFailure failed) {
  if (isOpen) return kWaveError;
  if (failOpen_ != kWaveOk) return failOpen_;
  if (const WaveResult check = query(device, format); check != kWaveOk) return check;
  calls.push_back("open " + std::to_string(device) + " " + std::to_string(format.samplesPerSec));
  isOpen = true;
  isPaused = false;
  openedDevice = device;
  openedFormat = format;
  playbackRate = 0x10000;
  notify_ = std::move(notify);
  failed_ = std::move(failed);
  lost_ = kWaveOk;
  return kWaveOk;
}

WaveResult SimWaveOut::close() {
  if (!isOpen) return kWaveNotOpen;
  if (!queue_.empty()) return kWaveStillPlaying;
  calls.push_back("close");
  isOpen = false;
  return kWaveOk;
}

WaveResult SimWaveOut::prepare(WaveHeader& header) {
  if (!isOpen) return kWaveNotOpen;
  header.prepared = true;
  return kWaveOk;
}

WaveResult SimWaveOut::unprepare(WaveHeader& header) {
  if (header.inQueue) return kWaveStillPlaying;
  header.prepared = false;
  return kWaveOk;
}

WaveResult SimWaveOut::write(WaveHeader& header) {
  if (!isOpen) return kWaveNotOpen;
  if (failWrite_ != kWaveOk) return failWrite_;
  if (lost_ != kWaveOk) return lost_;
  if (!header.prepared) return kWaveUnprepared;
  if (header.inQueue) return kWaveStillPlaying;
  written.push_back(
      {std::vector<std::uint8_t>(header.data, header.data + header.bufferLength), header.user});
  header.inQueue = true;
  header.done = false;
  queue_.push_back(&header);
  returnZeroLengthFront();
  return kWaveOk;
}

WaveResult SimWaveOut::pause() {
  if (!isOpen) return kWaveNotOpen;
  calls.push_back("pause");
  isPaused = true;
  return kWaveOk;
}

WaveResult SimWaveOut::restart() {
  if (!isOpen) return kWaveNotOpen;
  calls.push_back("restart");
  isPaused = false;
  return kWaveOk;
}

WaveResult SimWaveOut::reset() {
  if (!isOpen) return kWaveNotOpen;
  calls.push_back("reset");
  isPaused = false;
  for (WaveHeader* header : queue_) {
    header->inQueue = false;
    header->done = true;
    loop_.post([notify = notify_, header] {
      if (notify) notify(*header);
    });
  }
  queue_.clear();
  return kWaveOk;
}

WaveResult SimWaveOut::setPlaybackRate(std::uint32_t factor) {
  if (!isOpen) return kWaveNotOpen;
  calls.push_back("rate " + std::to_string(factor));
  playbackRate = factor;
  return kWaveOk;
}

std::string SimWaveOut::errorText(WaveResult code) {
  if (lost_ != kWaveOk && code == lost_) return lostText_;
  if (code == failOpen_ && !failText_.empty()) return failText_;
  return "Sim wave out error " + std::to_string(code);
}

bool SimWaveOut::loseDevice(WaveResult code, std::string text) {
  if (!isOpen) return false;
  calls.push_back("lost");
  lost_ = code;
  lostText_ = std::move(text);
  isPaused = false;
  for (WaveHeader* header : queue_) post(header);
  queue_.clear();
  loop_.post([failed = failed_, code] {
    if (failed) failed(code);
  });
  return true;
}

bool SimWaveOut::completeNext() {
  if (queue_.empty() || isPaused) return false;
  post(queue_.front());
  queue_.pop_front();
  returnZeroLengthFront();
  return true;
}

void SimWaveOut::completeAll() {
  while (completeNext()) {
  }
}

void SimWaveOut::returnZeroLengthFront() {
  while (!queue_.empty() && queue_.front()->bufferLength == 0) {
    post(queue_.front());
    queue_.pop_front();
  }
}

void SimWaveOut::post(WaveHeader* header) {
  loop_.post([notify = notify_, header] {
    header->inQueue = false;
    header->done = true;
    if (notify) notify(*header);
  });
}

}  // namespace voxloom::test
