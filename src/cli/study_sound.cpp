#include "cli/study_sound.h"

#include <cmath>
#include <span>
#include <utility>

#include "core/audio/pcm_int16.h"
#include "core/engine/offline_evp.h"

namespace voxloom::cli {

bool EvpArm::open(const std::string& input, std::string& usage) {
  switch (applySourceOptions(source_, parts_.random, devices_, usage)) {
    case ApplyResult::Usage:
    case ApplyResult::Failed:
      return false;
    case ApplyResult::Ok:
      break;
  }
  if (cli_.document.load(input) != 0) return false;
  const AudioDocument& doc = cli_.document.document;
  if (doc.format.bitsPerSample != 8 && doc.format.bitsPerSample != 16) {
    prompter_.error("A study needs 8- or 16-bit samples.");
    return false;
  }
  applyEvpShapeOptions(shape_, parts_.options, doc.cueCount());
  updateMinFrames(parts_.table, parts_.options, doc);
  updateMaxFrames(parts_.table, parts_.options, doc);
  const PickStatus possible = checkPickPossible(parts_.table, parts_.options, doc);
  if (possible != PickStatus::Ok) {
    prompter_.error(pickFailureText(possible));
    return false;
  }
  return true;
}

RunSound EvpArm::render(std::uint32_t seed, double seconds, bool reverse,
                        std::vector<std::int64_t>* blockFramesOut) {
  RunSound sound;
  const AudioDocument& doc = cli_.document.document;
  RandomSources& random = parts_.random;
  // Every run starts from its seed alone, so a run sounds the same in any shard.
  random.pseudo.seedPseudoRandom(seed);
  random.growthRate = source_.growthRate;
  random.population = source_.population;
  parts_.renderer.prevEnd = -1;
  parts_.renderer.fadeMode = parts_.options.fadeMode;
  OfflineEvpLimit limit;
  limit.frames = static_cast<std::int64_t>(std::ceil(seconds * doc.nominalRate));
  std::vector<std::uint8_t> bytes;
  std::vector<std::int64_t> blockFrames;
  const Bytes frameBytes = doc.frameBytes;
  SequencerContext context = parts_.sequencerContext();
  random.startRun();
  const OfflineEvpResult result =
      generateOfflineEvp(context, limit, [&](std::span<const std::uint8_t> block) {
        bytes.insert(bytes.end(), block.begin(), block.end());
        blockFrames.push_back(frameBytes > 0 ? static_cast<std::int64_t>(block.size()) / frameBytes
                                             : 0);
        return true;
      });
  random.stopSourceWaits();
  if (result.status == OfflineEvpStatus::NoPick) {
    sound.error = pickFailureText(result.pickStatus);
    return sound;
  }
  if (result.status != OfflineEvpStatus::Done) {
    sound.error = "The random source stopped.";
    return sound;
  }
  sound.rate = doc.nominalRate;
  sound.channels = doc.format.channels;
  sound.samples.resize(bytes.size() / (doc.format.bitsPerSample == 16 ? 2 : 1));
  pcmToInt16(bytes.data(), sound.samples.size(), doc.format.bitsPerSample, sound.samples.data());
  // The cross-fade is part of each rendered block, so blocks lie end to end and each
  // is reversed with its own fade.
  if (reverse) reverseEachBlock(sound.samples, sound.channels, blockFrames);
  if (blockFramesOut != nullptr) *blockFramesOut = std::move(blockFrames);
  return sound;
}

}  // namespace voxloom::cli
