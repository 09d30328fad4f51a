#include "core/effects/reverse.h"

#include <cstring>

#include "core/effects/pcm_codec.h"

namespace voxloom {
namespace {

// Swapping whole frames swaps every channel with the same channel of the mirrored
// frame. A fixed frame size lets the compiler turn the copies into single moves.
template <int N>
void reverseFrames(std::uint8_t* data, Frames frames) {
  std::uint8_t* lo = data;
  std::uint8_t* hi = data + static_cast<std::ptrdiff_t>(frames - 1) * N;
  for (Frames i = 0; i < frames / 2; ++i, lo += N, hi -= N) {
    std::uint8_t a[N];
    std::uint8_t b[N];
    std::memcpy(a, lo, N);
    std::memcpy(b, hi, N);
    std::memcpy(lo, b, N);
    std::memcpy(hi, a, N);
  }
}

}  // namespace

EffectResult reverseSignal(AudioDocument& doc) {
  if (!pcm::isEditable(doc)) return {};
  // The mirror runs from the last whole frame, not from dataBytes - frameBytes: with a
  // trailing partial frame that address is not frame-aligned and would mix samples.
  std::uint8_t* data = doc.samples.get();
  if (doc.frameCount > 1) {
    switch (doc.frameBytes) {
      case 1:
        reverseFrames<1>(data, doc.frameCount);
        break;
      case 2:
        reverseFrames<2>(data, doc.frameCount);
        break;
      default:
        reverseFrames<4>(data, doc.frameCount);
        break;
    }
  }
  doc.markModified();
  return {true};
}

}  // namespace voxloom
