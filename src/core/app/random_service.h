#pragma once

#include <cstdint>

#include "core/app/document_service.h"
#include "core/app/view_relay.h"
#include "core/random/random_sources.h"
#include "core/random/recording_level.h"
#include "core/random/stop_request.h"
#include "core/settings/settings.h"

namespace voxloom {

// The random sources with their health tests and log: which one is selected, and the
// settings that select it again at the next start.
class RandomService {
 public:
  // The sound-card source shows its input on the recording's level meter; a source that
  // cannot deliver stops `playback`.
  RandomService(Prompter& prompter, DocumentService& document, LevelMeter& inputLevel,
                ViewRelay& relay, PlaybackControl& playback);
  RandomService(const RandomService&) = delete;
  RandomService& operator=(const RandomService&) = delete;

  void bindSettings(Settings& settings);

  StopRequest stop;
  RandomSources sources;

  // Seeds the pseudo-random generator; it takes 32 bits, as the start-up seed does.
  void seed(std::uint64_t seed);

 private:
  int storedKind() const;
  void selectStoredSource();
  int requestedKind_ = -1;  // the stored kind while it could not be selected
  int kindAfterLoad_ = -1;
};

}  // namespace voxloom
