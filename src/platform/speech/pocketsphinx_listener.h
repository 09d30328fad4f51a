#pragma once

#include <memory>
#include <string>

#include "core/ports/speech_listener.h"

namespace voxloom {

// The recogniser's search limits. Its own limits run the demo recording at about 3x
// real time on one core, model load included; these run it near 8x and find as many
// LibriVox words (measured by bench/listener_bench).
struct PocketSphinxTuning {
  int maxHmmPerFrame = 2000;
  int topN = 2;
  int maxWordsPerFrame = 10;
  int lookaheadWindow = 10;
  bool flatSecondPass = false;  // the second pass costs a fifth of the time for no recall here
  bool defaults = false;        // true: the recogniser's own limits, for comparison
};

// Listeners over one model folder (holding en-us/, en-us.lm.bin and
// cmudict-en-us.dict). Each listener owns a decoder of its own, so listeners may run on
// several threads; a decoder given back by a listener that ends serves the next one,
// so the model is loaded again only when more listeners live at once. The folder's files
// are checked at once; with `loadNow` the model is loaded at once too, else by the first
// listener made.
std::unique_ptr<SpeechListenerFactory> makePocketSphinxFactory(const std::string& modelDir,
                                                               const PocketSphinxTuning& tuning,
                                                               std::string& error,
                                                               bool loadNow = true);

}  // namespace voxloom
