#include "core/effects/auto_cut.h"

#include <string>

#include "core/effects/envelope.h"

namespace voxloom {
namespace {

constexpr std::size_t kInitialCueCapacity = 128;

CuePoint autoCue(std::size_t index, Frames position) {
  CuePoint cue;
  cue.position = position;
  cue.id = static_cast<std::uint32_t>(index + 1);
  cue.label = "Auto Cue " + std::to_string(index + 1);
  cue.purpose = "rgn";
  return cue;
}

// Room for 128 cues at first, doubled whenever full.
void appendCue(std::vector<CuePoint>& cues, Frames position) {
  if (cues.size() == cues.capacity()) cues.reserve(cues.capacity() * 2);
  cues.push_back(autoCue(cues.size(), position));
}

}  // namespace

std::vector<Frames> findCuts(const std::vector<std::uint16_t>& envelope, int threshold,
                             Frames frameLength) {
  std::vector<Frames> cuts;
  if (envelope.empty()) return cuts;
  std::int64_t rise = -1;
  std::int64_t fall = -1;
  int previous = envelope[0];
  for (std::size_t k = 1; k < envelope.size(); ++k) {
    const int current = envelope[k];
    if (previous <= threshold && threshold < current) {
      rise = static_cast<std::int64_t>(k);
    } else if (current < threshold && threshold <= previous) {
      fall = static_cast<std::int64_t>(k);
    }
    previous = current;
    if (rise != -1 && fall != -1 && rise > fall) {
      // 64-bit so that a long frame times a late frame index cannot overflow.
      const std::int64_t cut = frameLength * (rise + fall) / 2 + frameLength / 2;
      cuts.push_back(static_cast<Frames>(cut));
      rise = fall = -1;
    }
  }
  return cuts;
}

EffectResult autoCut(AudioDocument& doc, AutoCutOptions& options) {
  const Frames frameLength = envelopeFrameLength(doc, options.frameSizeMs);
  if (frameLength < 1) return {};
  const std::vector<std::uint16_t> envelope = amplitudeEnvelope(doc, frameLength);
  if (envelope.empty()) return {};

  int threshold = options.thresholdPercent;
  if (options.automatic()) {
    threshold = meanEnvelope(envelope);
    // The spin edit shows the computed value; its change selects item 0, so item 1 is
    // chosen again afterwards.
    options.thresholdChange(threshold);
    options.radioGroupThresholdClick(AutoCutOptions::kAutomatic);
  }

  std::vector<CuePoint> cues;
  cues.reserve(kInitialCueCapacity);
  cues.push_back(autoCue(0, 0));
  for (Frames cut : findCuts(envelope, threshold, frameLength)) {
    cues.back().length = cut - cues.back().position;
    appendCue(cues, cut);
  }
  // The region after the last cut gets no cue.
  cues.pop_back();

  doc.clearCues();
  doc.cues = std::move(cues);
  doc.texts.status[1] = "Cues: " + std::to_string(doc.cueCount());
  doc.markModified();
  return {true};
}

}  // namespace voxloom
