#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/ports/speech_listener.h"
#include "core/study/study_plan.h"

namespace voxloom {

// The sound of one run, 16-bit interleaved; `error` says why there is none.
struct RunSound {
  std::vector<std::int16_t> samples;
  std::uint32_t rate = 0;
  int channels = 1;
  std::string error;
};

// Plays each block backwards where it lies: the same samples in each block, so the same
// spectrum, loudness and timing, without forward speech. `blockFrames` are the blocks'
// lengths in order from the start; frames after the last block stay as they are.
void reverseEachBlock(std::span<std::int16_t> samples, int channels,
                      std::span<const std::int64_t> blockFrames);

using RenderRun = std::function<RunSound(StudyArm arm, int run, std::uint32_t seed)>;

struct StudyRunResult {
  std::vector<RunRecord> records;  // in run order, the EVP arm first
  std::string error;               // the first run that failed; records are then incomplete
};

// Runs the plan's shard: `render` is called on the calling thread, one run after the
// other in run order (a random source need not be shared between threads), while `jobs`
// threads listen, each with a listener of its own. A run that cannot be made or heard
// stops the study.
StudyRunResult runStudy(const StudyPlan& plan, const RenderRun& render,
                        SpeechListenerFactory& factory, int jobs,
                        const ListenRequest& request = {});

}  // namespace voxloom
