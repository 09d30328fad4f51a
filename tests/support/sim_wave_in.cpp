#include "tests/support/sim_wave_in.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace voxloom::test {

void SimWaveIn::failOpen(WaveResult code, std::string text, bool onQuery) {
  failOpen_ = code;
  failText_ = std::move(text);
  failQuery_ = onQuery;
}

WaveResult SimWaveIn::query(int device, const WaveFormat& format) {
  if (failQuery_ && failOpen_ != kWaveOk) return failOpen_;
  if (std::find(refusedRates.begin(), refusedRates.end(), format.samplesPerSec) !=
      refusedRates.end())
    return kWaveBadFormat;
  if (device < kWaveDefaultDevice || device >= static_cast<int>(names.size())) {
    return kWaveBadDevice;
  }
  return format.isStandardPcm() ? kWaveOk : kWaveBadFormat;
}

WaveResult SimWaveIn::open(int device, const WaveFormat& format, WaveNotify notify,
                           WaveFailure failed) {
  if (isOpen) return kWaveError;
  if (failOpen_ != kWaveOk) return failOpen_;
  if (const WaveResult check = query(device, format); check != kWaveOk) return check;
  calls.push_back("open " + std::to_string(device) + " " + std::to_string(format.samplesPerSec));
  isOpen = true;
  isStarted = false;
  openedDevice = device;
  openedFormat = format;
  openedWithNotify = static_cast<bool>(notify);
  notify_ = std::move(notify);
  failed_ = std::move(failed);
  lost_ = kWaveOk;
  return kWaveOk;
}

WaveResult SimWaveIn::close() {
  if (!isOpen) return kWaveNotOpen;
  if (!queue_.empty()) return kWaveStillPlaying;
  calls.push_back("close");
  isOpen = false;
  return kWaveOk;
}

WaveResult SimWaveIn::prepare(WaveHeader& header) {
  if (!isOpen) return kWaveNotOpen;
  header.prepared = true;
  return kWaveOk;
}

WaveResult SimWaveIn::unprepare(WaveHeader& header) {
  if (header.inQueue) return kWaveStillPlaying;
  header.prepared = false;
  return kWaveOk;
}

WaveResult SimWaveIn::addBuffer(WaveHeader& header) {
  if (!isOpen) return kWaveNotOpen;
  if (lost_ != kWaveOk) return lost_;
  if (!header.prepared) return kWaveUnprepared;
  if (header.inQueue) return kWaveStillPlaying;
  header.inQueue = true;
  header.done = false;
  header.bytesRecorded = 0;
  queue_.push_back(&header);
  returnFullFront();
  return kWaveOk;
}

WaveResult SimWaveIn::start() {
  if (!isOpen) return kWaveNotOpen;
  if (lost_ != kWaveOk) return lost_;
  calls.push_back("start");
  isStarted = true;
  return kWaveOk;
}

WaveResult SimWaveIn::reset() {
  if (!isOpen) return kWaveNotOpen;
  calls.push_back("reset");
  isStarted = false;
  for (WaveHeader* header : queue_) {
    header->bytesRecorded = header == queue_.front() ? frontFilled_ : 0;
    header->inQueue = false;
    header->done = true;
    loop_.post([notify = notify_, header] {
      if (notify) notify(*header);
    });
  }
  queue_.clear();
  frontFilled_ = 0;
  return kWaveOk;
}

std::string SimWaveIn::errorText(WaveResult code) {
  if (lost_ != kWaveOk && code == lost_) return lostText_;
  if (code == failOpen_ && !failText_.empty()) return failText_;
  return "Sim wave in error " + std::to_string(code);
}

bool SimWaveIn::loseDevice(WaveResult code, std::string text) {
  if (!isOpen) return false;
  calls.push_back("lost");
  lost_ = code;
  lostText_ = std::move(text);
  isStarted = false;
  for (WaveHeader* header : queue_) post(header, header == queue_.front() ? frontFilled_ : 0);
  queue_.clear();
  frontFilled_ = 0;
  loop_.post([failed = failed_, code] {
    if (failed) failed(code);
  });
  return true;
}

std::size_t SimWaveIn::supply(const std::vector<std::uint8_t>& bytes) {
  if (!isStarted) return 0;
  std::size_t offset = 0;
  while (offset < bytes.size() && !queue_.empty()) {
    WaveHeader* header = queue_.front();
    const std::size_t part =
        std::min<std::size_t>(bytes.size() - offset, header->bufferLength - frontFilled_);
    std::memcpy(header->data + frontFilled_, bytes.data() + offset, part);
    frontFilled_ += static_cast<std::uint32_t>(part);
    offset += part;
    returnFullFront();
  }
  return offset;
}

void SimWaveIn::returnFullFront() {
  while (!queue_.empty() && frontFilled_ == queue_.front()->bufferLength) {
    post(queue_.front(), frontFilled_);
    queue_.pop_front();
    frontFilled_ = 0;
  }
}

void SimWaveIn::post(WaveHeader* header, std::uint32_t recorded) {
  loop_.post([notify = notify_, header, recorded] {
    header->bytesRecorded = recorded;
    header->inQueue = false;
    header->done = true;
    if (notify) notify(*header);
  });
}

}  // namespace voxloom::test
