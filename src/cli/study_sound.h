#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_prompter.h"
#include "cli/cli_services.h"
#include "cli/evp_options.h"
#include "cli/source_options.h"
#include "core/app/playback_parts.h"
#include "core/app/random_service.h"
#include "core/random/recording_level.h"
#include "core/study/study_runner.h"

namespace voxloom::cli {

// The services make-evp uses, for the EVPs of a study made one after another from one
// input.
class EvpArm {
 public:
  EvpArm(const SourceOptions& source, const EvpShapeOptions& shape)
      : source_(source), shape_(shape) {}

  // Loads the input and chooses the source; false when a message was shown or `usage`
  // says what is wrong.
  bool open(const std::string& input, std::string& usage);

  // One EVP of `seconds` made from `seed` alone; with `reverse` each block plays
  // backwards. `blockFrames`, when given, gets the blocks' lengths.
  RunSound render(std::uint32_t seed, double seconds, bool reverse,
                  std::vector<std::int64_t>* blockFrames = nullptr);

  void warnOfHealth() { warnOfHealthFailures(parts_.random.health, prompter_); }

 private:
  SourceOptions source_;
  EvpShapeOptions shape_;
  CliPrompter prompter_;
  SourceDevices devices_;  // outlives the random sources, which may use them
  CliDocument cli_{prompter_};
  LevelMeter inputLevel_;
  NoPlayback noPlayback_;
  RandomService service_{prompter_, cli_.document, inputLevel_, cli_.relay, noPlayback_};
  PlaybackParts parts_{prompter_, cli_.document.document, service_.sources, cli_.states.state(),
                       cli_.states.listener()};
};

}  // namespace voxloom::cli
