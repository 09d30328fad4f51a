#include "core/random/random_source_kind.h"

namespace voxloom {

std::optional<RandomSourceKind> randomSourceKindFromInt(int value) {
  if (value < 0 || value >= kRandomSourceKindCount) return std::nullopt;
  return static_cast<RandomSourceKind>(value);
}

bool isRandomSourceBuilt(RandomSourceKind kind) {
  // Every kind has its source; a value outside the enumeration has none.
  const int value = static_cast<int>(kind);
  return value >= 0 && value < kRandomSourceKindCount;
}

}  // namespace voxloom
