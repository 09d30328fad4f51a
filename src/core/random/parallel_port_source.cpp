#include "core/random/parallel_port_source.h"

#include <algorithm>
#include <charconv>

namespace voxloom {

std::string hexAddressText(std::uint32_t address) {
  char text[16];
  const auto end = std::to_chars(text, text + sizeof text, address, 16).ptr;
  std::string s(text, end);
  std::transform(s.begin(), s.end(), s.begin(), [](char c) {
    return static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
  });
  return s;
}

bool parseHexAddress(const std::string& text, std::uint32_t& address) {
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, ec] = std::from_chars(first, last, address, 16);
  return !text.empty() && ec == std::errc{} && end == last && address <= 0xFFFF;
}

void ParallelPortSource::loadAndProbe() {
  portDriverLoaded = driver != nullptr && driver->loaded();
  ports.clear();
  if (!portDriverLoaded) return;
  ports = driver->probePrinterPorts();
  for (const PrinterPort& p : ports) {
    if (p.address == 0) continue;
    const std::string text = hexAddressText(p.address);
    if (std::find(dialogState.portList.begin(), dialogState.portList.end(), text) ==
        dialogState.portList.end())
      dialogState.portList.push_back(text);
    dialogState.noPortsText = false;
  }
  std::sort(dialogState.portList.begin(), dialogState.portList.end());
  if (!dialogState.portList.empty() && dialogState.portAddressText.empty())
    dialogState.portAddressText = dialogState.portList.front();
}

std::string ParallelPortSource::openPort(const std::string& device) {
  if (driver == nullptr) return std::string(kPortSetupPrefix) + "no port driver.";
  const std::string reason = driver->open(device);
  if (!reason.empty()) return std::string(kPortSetupPrefix) + reason;
  portDevice = device;
  return {};
}

std::string ParallelPortSource::selectFromDialog(bool interactive, bool& cancelled) {
  cancelled = false;
  if (!portDriverLoaded) return std::string(kPortUnusablePrefix) + kNoPortDriverText;
  // The steady clock is always there; its frequency is fixed.
  counterFrequency = kCounterFrequency;
  if (interactive) {
    if (dialog == nullptr || !dialog->askParallelPort(dialogState)) {
      cancelled = true;
      return {};
    }
  }
  const ParallelPortDialogState& d = dialogState;
  std::uint32_t address = 0;
  if (!parseHexAddress(d.portAddressText, address))
    return std::string(kPortSetupPrefix) + "'" + d.portAddressText +
           "' is not a valid port address.";
  std::int32_t rate = 0;
  const char* first = d.sampleRateText.data();
  const char* last = first + d.sampleRateText.size();
  const auto [end, ec] = std::from_chars(first, last, rate);
  if (d.sampleRateText.empty() || ec != std::errc{} || end != last)
    return std::string(kPortSetupPrefix) + "'" + d.sampleRateText +
           "' is not a valid integer value.";
  // A rate of 0 would never sample; below 1 Hz is refused with the set-up message.
  if (rate < 1) return std::string(kPortSetupPrefix) + "The sample rate must be at least 1 Hz.";
  if (d.inputLineIndex < 0 || d.inputLineIndex >= static_cast<int>(kInputLines.size()))
    return std::string(kPortSetupPrefix) + kInvalidInputLineText;
  const auto port = std::find_if(ports.begin(), ports.end(),
                                 [&](const PrinterPort& p) { return p.address == address; });
  if (port == ports.end())
    return std::string(kPortSetupPrefix) + "there is no parallel port at address " +
           hexAddressText(address) + ".";
  const std::string opened = openPort(port->device);
  if (!opened.empty()) return opened;
  portAddress = address;
  portSampleRate = rate;
  inputBit = kInputLines[static_cast<std::size_t>(d.inputLineIndex)].statusBit;
  unbiasMethod = std::clamp(d.unbiasMethod, 0, 2);
  return {};
}

std::string ParallelPortSource::selectDevice(const std::string& device, std::int32_t rate, int bit,
                                             int unbias) {
  if (driver == nullptr) return std::string(kPortUnusablePrefix) + kNoPortDriverText;
  if (rate < 1) return std::string(kPortSetupPrefix) + "The sample rate must be at least 1 Hz.";
  if (bit < 0 || bit > 7) return std::string(kPortSetupPrefix) + kInvalidInputLineText;
  const std::string opened = openPort(device);
  if (!opened.empty()) return opened;
  counterFrequency = kCounterFrequency;
  portAddress = 0;
  for (const PrinterPort& p : driver->probePrinterPorts())
    if (p.device == device) portAddress = p.address;
  portSampleRate = rate;
  inputBit = bit;
  unbiasMethod = std::clamp(unbias, 0, 2);
  return {};
}

bool ParallelPortSource::waitNextTick(long double& t, long double period) {
  for (;;) {
    const auto now = static_cast<long double>(clock->steadyNanoseconds());
    if (loop != nullptr) loop->processPending();
    if (cancelled_) return false;
    if (now >= t + period) break;
  }
  t += period;
  return true;
}

std::uint32_t ParallelPortSource::readPortWord(StopRequest& stop, Prompter& prompter) {
  if (stop.stopRequested) return 0;
  if (driver == nullptr || clock == nullptr || portSampleRate < 1) {
    stop.stopRequested = true;
    return 0;
  }
  cancelled_ = false;
  const long double period =
      static_cast<long double>(counterFrequency) / static_cast<long double>(portSampleRate);
  long double t = static_cast<long double>(clock->steadyNanoseconds());
  std::uint32_t w = 0;
  int tries = kEqualPairBudget;
  const auto cancelled = [&] {
    stop.stopRequested = true;
    return 0u;
  };
  for (int i = 0; i < 32;) {
    auto v = static_cast<std::int16_t>(driver->readStatus());
    if (unbiasMethod == kUnbiasXor) {
      if (!waitNextTick(t, period)) return cancelled();
      v = static_cast<std::int16_t>(v ^ static_cast<std::int16_t>(driver->readStatus()));
    } else if (unbiasMethod == kUnbiasVonNeumann) {
      if (!waitNextTick(t, period)) return cancelled();
      const auto second = static_cast<std::int16_t>(driver->readStatus());
      if (second == v) {
        if (--tries <= 0) {
          stop.stopRequested = true;
          prompter.error(kNoGeneratorText);
          if (focusDialog) focusDialog();
          return 0;
        }
        if (!waitNextTick(t, period)) return cancelled();
        continue;
      }
    }
    const std::uint32_t bit =
        (static_cast<std::uint32_t>(static_cast<std::uint16_t>(v)) >> inputBit) & 1u;
    w = (w << 1) | bit;
    ++i;
    if (i < 32 && !waitNextTick(t, period)) return cancelled();
  }
  return w;
}

}  // namespace voxloom
