// Placeholder for the health-test branch: it replaces this file.
#include "core/random/source_health.h"

namespace voxloom {

void SourceHealth::start(RandomSourceKind kind) {
  kind_ = kind;
  draws_ = 0;
}
void SourceHealth::noteValue(std::uint32_t) {}
void SourceHealth::noteBits(std::uint32_t, int) {}
HealthState SourceHealth::state() const { return HealthState::NotTested; }
std::int64_t SourceHealth::failureCount() const { return 0; }
const std::vector<HealthFailure>& SourceHealth::failures() const {
  static const std::vector<HealthFailure> none;
  return none;
}
const char* healthStateText(HealthState) { return "not tested"; }

}  // namespace voxloom
