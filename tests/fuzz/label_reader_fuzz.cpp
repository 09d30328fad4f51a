// libFuzzer target: any byte string through the label-track reader. Whatever it reads
// must lie inside the signal and come back unchanged through the writer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/labels/label_track.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr voxloom::Rate kRate = 44100;
  constexpr voxloom::Frames kFrames = 44100 * 60;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const voxloom::LabelReadResult first = voxloom::readLabelTrack(text, kRate, kFrames);
  for (const voxloom::CuePoint& cue : first.cues)
    if (cue.position < 0 || cue.length < 0 || cue.position + cue.length > kFrames) __builtin_trap();
  const voxloom::LabelReadResult again =
      voxloom::readLabelTrack(voxloom::writeLabelTrack(first.cues, kRate), kRate, kFrames);
  if (again.cues.size() != first.cues.size() || !again.problems.empty()) __builtin_trap();
  for (std::size_t i = 0; i < first.cues.size(); ++i)
    if (again.cues[i].position != first.cues[i].position ||
        again.cues[i].length != first.cues[i].length || again.cues[i].label != first.cues[i].label)
      __builtin_trap();
  return 0;
}
