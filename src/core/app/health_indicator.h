#pragma once

#include <cstdint>
#include <string>

#include "core/random/random_source_kind.h"
#include "core/random/source_health.h"

namespace voxloom {

// What the window needs to know of the current source's health tests.
struct HealthReading {
  HealthState state = HealthState::NotTested;
  std::int64_t failureCount = 0;       // in this run
  std::int64_t firstFailureDraw = 0;   // 0: no failure in this run
  bool firstFailureRepetition = true;  // else the adaptive proportion test
  bool logged = false;                 // failures reach an open random log
};

HealthReading readHealth(const SourceHealth& health, bool logged);

// "Source: Sound card" for the status bar, without the menu's accelerator and ellipsis.
std::string sourceIndicatorText(RandomSourceKind kind);
// "Health: ok", "Health: failing: repetition (3 failures)".
std::string healthIndicatorText(const HealthReading& reading);
// The message for the first failure of a run (empty when there was none).
std::string healthNoticeText(const HealthReading& reading);
// Its short form, which fits the status bar: "Repetition health test failed at draw 17".
std::string healthNoticeBrief(const HealthReading& reading);

// The status bar's health panel: its text and colour, and the notice of a Make EVP run's
// first failure, given once per run so that a failing source does not flood the user.
class HealthIndicator {
 public:
  struct Shown {
    std::string text;
    bool alarm = false;  // a failure in this run or a failing state: the panel turns red
    std::string notice;  // non-empty once per run, at the first failure seen
  };

  // `makingEvp`: a Make EVP run is going on; its start arms the notice again.
  Shown refresh(const HealthReading& reading, bool makingEvp);

 private:
  bool running_ = false;
  bool noticeDue_ = false;
};

}  // namespace voxloom
