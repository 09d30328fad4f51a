#include "core/random/random_source_kind.h"

namespace voxloom {

std::optional<RandomSourceKind> randomSourceKindFromInt(int value) {
  if (value < 0 || value >= kRandomSourceKindCount) return std::nullopt;
  return static_cast<RandomSourceKind>(value);
}

}  // namespace voxloom
