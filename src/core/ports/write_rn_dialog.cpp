#include "core/ports/write_rn_dialog.h"

#include <algorithm>

namespace voxloom {

void WriteRnDialogState::timesTen() {
  setSamples(std::int64_t{samples} * 10);
}

void WriteRnDialogState::divideByTen() {
  setSamples(samples / 10);
}

void WriteRnDialogState::setSamples(std::int64_t value) {
  samples = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, kMin, kMax));
}

}  // namespace voxloom
