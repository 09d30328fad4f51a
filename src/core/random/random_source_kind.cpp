#include "core/random/random_source_kind.h"

#include <iterator>

namespace voxloom {

std::optional<RandomSourceKind> randomSourceKindFromInt(int value) {
  if (value < 0 || value >= kRandomSourceKindCount) return std::nullopt;
  return static_cast<RandomSourceKind>(value);
}

const char* randomSourceName(int kind) {
  static constexpr const char* kNames[] = {"pseudo",   "soundcard", "file",    "fractal",
                                           "internet", "manual",    "parport", "device"};
  static_assert(std::size(kNames) == kRandomSourceKindCount);
  if (kind < 0 || kind >= kRandomSourceKindCount) return "unknown";
  return kNames[kind];
}

}  // namespace voxloom
