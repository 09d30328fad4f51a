#include "core/app/health_indicator.h"

#include <cstddef>

namespace voxloom {

HealthReading readHealth(const SourceHealth& health, bool logged) {
  HealthReading reading;
  reading.state = health.state();
  reading.failureCount = health.failureCount();
  const std::vector<HealthFailure>& failures = health.failures();
  if (!failures.empty()) {
    reading.firstFailureDraw = failures.front().draw;
    reading.firstFailureRepetition = failures.front().repetition;
  }
  reading.logged = logged;
  return reading;
}

std::string sourceIndicatorText(RandomSourceKind kind) {
  const auto index = static_cast<std::size_t>(kind);
  if (index >= kRandomSourceItems.size()) return "Source: ?";
  std::string name;
  for (const char* c = kRandomSourceItems[index].caption; *c != '\0'; ++c) {
    if (*c != '&' && *c != '.') name += *c;
  }
  return "Source: " + name;
}

std::string healthIndicatorText(const HealthReading& reading) {
  std::string text = std::string("Health: ") + healthStateText(reading.state);
  // The untested kinds cannot fail; a count there would only confuse.
  const bool tested =
      reading.state != HealthState::Deterministic && reading.state != HealthState::NotTested;
  if (tested && reading.failureCount > 0) {
    text += " (" + std::to_string(reading.failureCount) +
            (reading.failureCount == 1 ? " failure)" : " failures)");
  }
  return text;
}

std::string healthNoticeText(const HealthReading& reading) {
  if (reading.failureCount <= 0) return {};
  std::string text = std::string("The random source failed its ") +
                     (reading.firstFailureRepetition ? "repetition" : "proportion") +
                     " health test";
  if (reading.firstFailureDraw > 0) text += " at draw " + std::to_string(reading.firstFailureDraw);
  text += ". The EVP goes on; ";
  text += reading.logged ? "the failure is written to the random log."
                         : "turn on Extras > Log random numbers to keep a record of failures.";
  return text;
}

std::string healthNoticeBrief(const HealthReading& reading) {
  if (reading.failureCount <= 0) return {};
  std::string text = reading.firstFailureRepetition ? "Repetition" : "Proportion";
  text += " health test failed";
  if (reading.firstFailureDraw > 0) text += " at draw " + std::to_string(reading.firstFailureDraw);
  return text;
}

HealthIndicator::Shown HealthIndicator::refresh(const HealthReading& reading, bool makingEvp) {
  const bool ended = running_ && !makingEvp;
  if (makingEvp && !running_) noticeDue_ = true;
  running_ = makingEvp;
  Shown shown;
  shown.text = healthIndicatorText(reading);
  shown.alarm = reading.failureCount > 0 || reading.state == HealthState::FailingRepetition ||
                reading.state == HealthState::FailingProportion;
  // The last refresh of a run still reports a failure of its final blocks; a failure
  // outside a run (Write RN) turns the panel red but is no EVP's notice.
  if (noticeDue_ && (makingEvp || ended) && reading.failureCount > 0) {
    shown.notice = healthNoticeText(reading);
    noticeDue_ = false;
  }
  if (ended) noticeDue_ = false;
  return shown;
}

}  // namespace voxloom
