#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/ports/prompter.h"
#include "core/random/stop_request.h"

namespace voxloom {

// How a raw value is written as text (log, values file, provenance).
enum class RawForm : std::uint8_t {
  Unsigned,  // a 31-bit value: pseudo generator, manual slider
  Signed16,  // a 16-bit sample of the sound card or the file
  Signed32,  // a 32-bit word or service value, read as signed
  Decimal,   // the fractal value itself, 15 significant digits
};

// What one draw gave: the integer 0..n-1 and the raw value behind it. A draw without a
// raw value (bits == 0) failed before its source delivered one.
struct RawDraw {
  std::int32_t mapped = 0;
  std::uint32_t value = 0;  // only the low `bits` bits count; see word() for Decimal
  int bits = 0;
  RawForm form = RawForm::Unsigned;
  // False for a value that is logged but kept from the health tests: a word cut short.
  bool counted = true;
  long double fraction = 0;  // the value of the Decimal form
  // A word folded from samples carries them: the health tests count samples, not words.
  // Valid until the source's next draw.
  std::span<const std::int16_t> samples;

  bool hasValue() const { return bits > 0; }
  // The raw value as a bit pattern. The Decimal form's fraction is scaled to 32 bits
  // only here, since most draws never need it.
  std::uint32_t word() const { return form == RawForm::Decimal ? fractionWord(fraction) : value; }
  // floor(x * 2^32), held to 0..2^32-1.
  static std::uint32_t fractionWord(long double x);
};

// The raw value as the log writes it.
std::string rawText(const RawDraw& draw);

// What a source that can end a run needs from its owner.
struct SourceHost {
  StopRequest& stop;
  Prompter& prompter;
  std::function<void()> stopPlayback;  // the engine's Stop

  // The source cannot deliver: the run ends here.
  void endRun() {
    stop.stopRequested = true;
    if (stopPlayback) stopPlayback();
  }
};

// One source of random integers. Draws raise the stop request (owned by whoever wires
// the source) when they cannot deliver; such a draw maps to 0.
class RandomSource {
 public:
  virtual ~RandomSource() = default;

  // Stable name, as provenance and the health file write it.
  virtual const char* name() const = 0;
  // Makes the source ready to draw after it was chosen; empty on success, else why not.
  virtual std::string open() { return {}; }
  // One integer 0..n-1 (n >= 1) with the raw value behind it.
  virtual RawDraw draw(std::int32_t n) = 0;
  // Ends a wait in progress and lets go of the device, if the source holds one.
  virtual void close() {}
};

}  // namespace voxloom
