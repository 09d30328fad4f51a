#include "core/random/pseudo_rng.h"

#include <chrono>

namespace voxloom {

std::uint32_t timeSeed() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

}  // namespace voxloom
