#pragma once

#include <memory>
#include <string>

#include "core/ports/speech_listener.h"

namespace voxloom {

// The recogniser's search limits: the defaults trade speed for a little recall that
// EVP material does not need.
struct PocketSphinxTuning {
  int maxHmmPerFrame = 3000;
  int topN = 2;
  int maxWordsPerFrame = 10;
  int lookaheadWindow = 10;
  bool defaults = false;  // true: the recogniser's own limits, for comparison
};

// Listeners over one model folder (holding en-us/, en-us.lm.bin and
// cmudict-en-us.dict). Each listener owns a decoder of its own, so listeners may run on
// several threads; a decoder given back by a listener that ends serves the next one,
// so the model is loaded again only when more listeners live at once.
std::unique_ptr<SpeechListenerFactory> makePocketSphinxFactory(const std::string& modelDir,
                                                               const PocketSphinxTuning& tuning,
                                                               std::string& error);

}  // namespace voxloom
