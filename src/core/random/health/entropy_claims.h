#pragma once

#include <cstdint>
#include <optional>

#include "core/random/random_source_kind.h"

namespace voxloom {

// What a true source's raw value is and how much entropy each one is trusted to carry;
// the health-test cut-offs follow from it.
struct EntropyClaim {
  RandomSourceKind kind;
  const char* unit;     // for reports: "16-bit sample", "bit", ...
  double bitsPerValue;  // H, the min-entropy claimed per raw value
  bool binary;          // values are single bits (noteBits), else multi-bit (noteValue)
};

// The claim of `kind`; nothing for the deterministic and untested kinds.
std::optional<EntropyClaim> entropyClaimOf(RandomSourceKind kind);

// Repetition count test cut-off for a false-alarm rate of 2^-20: 1 + ceil(20 / H).
int repetitionCutoff(double bitsPerValue);
// Adaptive proportion test window: 1024 values for bit sources, 512 otherwise.
inline int proportionWindow(bool binary) {
  return binary ? 1024 : 512;
}
// Adaptive proportion test cut-off: 1 + the smallest k for which the binomial
// CDF(k; window, 2^-H) reaches 1 - 2^-20. Computed once per (window, H) and cached.
int proportionCutoff(int window, double bitsPerValue);

// Bits of one raw value in the byte stream of `random --raw` (MSB first, packed);
// `convert` is the 32-to-1 fold of the sample and fractal sources.
int rawBitsOf(RandomSourceKind kind, bool convert);

}  // namespace voxloom
