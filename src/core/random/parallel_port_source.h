#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ports/clock.h"
#include "core/ports/event_loop.h"
#include "core/ports/parallel_port_dialog.h"
#include "core/ports/port_driver.h"
#include "core/ports/prompter.h"
#include "core/random/stop_request.h"

namespace voxloom {

struct InputLine {
  const char* text;
  int statusBit;
};
inline constexpr std::array<InputLine, 5> kInputLines = {{
    {"10 - Ack", 6},
    {"11 - Busy (Inverted)", 7},
    {"12 - Paper Out", 5},
    {"13 - Select", 4},
    {"15 - Error", 3},
}};

enum UnbiasMethod : int { kUnbiasNone = 0, kUnbiasXor = 1, kUnbiasVonNeumann = 2 };

// A hardware random bit generator on a status line of a printer port, sampled on a fixed
// grid of the steady clock; 32 bits a draw.
class ParallelPortSource {
 public:
  static constexpr std::int64_t kCounterFrequency = 1'000'000'000;  // the clock counts ns
  static constexpr int kEqualPairBudget = 256;

  // Wiring, set by the owner.
  PortDriver* driver = nullptr;
  Clock* clock = nullptr;
  EventLoop* loop = nullptr;  // pumped while waiting for the next sample
  ParallelPortDialog* dialog = nullptr;
  std::function<void()> focusDialog;  // gives TFormParallelPort the focus when it is shown

  ParallelPortDialogState dialogState;
  bool portDriverLoaded = false;
  std::vector<PrinterPort> ports;  // probed at start-up

  // Set at selection.
  std::uint32_t portAddress = 0;
  std::int32_t portSampleRate = 0;
  int inputBit = 4;
  int unbiasMethod = kUnbiasNone;
  std::int64_t counterFrequency = kCounterFrequency;
  std::string portDevice;

  // Start-up: whether the driver is there, then the ports into the dialog's list.
  void loadAndProbe();
  // The checks and the dialog of the selection. Empty on success; otherwise the message
  // to show ("" with cancelled set when the dialog was cancelled).
  std::string selectFromDialog(bool interactive, bool& cancelled);
  // The command line names the device itself.
  std::string selectDevice(const std::string& device, std::int32_t rate, int bit, int unbias);

  // One word of 32 sampled bits, the first the most significant. 0 with the stop
  // request set when no generator answers or the wait was cancelled.
  std::uint32_t readPortWord(StopRequest& stop, Prompter& prompter);
  // Ends a word in progress at once (Stop).
  void cancelWait() { cancelled_ = true; }

 private:
  bool waitNextTick(long double& t, long double period);
  std::string openPort(const std::string& device);

  bool cancelled_ = false;
};

inline constexpr const char* kPortUnusablePrefix =
    "The parallel port can't be used as a random source,\nbecause ";
inline constexpr const char* kPortSetupPrefix =
    "Failed to set up the parallel port as a random source:\n";
inline constexpr const char* kNoPortDriverText =
    "the parallel port driver (ppdev) couldn't be loaded.";
inline constexpr const char* kInvalidInputLineText = "Invalid parallel port input line selected.";
inline constexpr const char* kNoGeneratorText =
    "No random bit generator seems to be connected to the parallel printer port.";
inline constexpr const char* kParallelPortCaption = "Random bit generator @ Parallel printer port";

// "%X" of an address; a hexadecimal text (no prefix) as a number.
std::string hexAddressText(std::uint32_t address);
bool parseHexAddress(const std::string& text, std::uint32_t& address);

}  // namespace voxloom
