#pragma once

#include <memory>
#include <string>

#include "core/ports/speech_listener.h"

namespace voxloom {

// Whether this build has a machine listener at all.
bool speechListenerBuilt();

// The model folder used when none is given.
std::string defaultSpeechModelDir();

// Listeners over the model in `modelDir` (empty: the default), which the first of them
// loads, once; null with `error` set when the build has no listener or the folder lacks
// the model's files.
std::unique_ptr<SpeechListenerFactory> makeSpeechListenerFactory(const std::string& modelDir,
                                                                 std::string& error);

}  // namespace voxloom
