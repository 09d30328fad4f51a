// Builds without a speech recogniser: the listener's commands say so.
#include "platform/speech/speech_listener_factory.h"

namespace voxloom {

bool speechListenerBuilt() {
  return false;
}

std::string defaultSpeechModelDir() {
  return {};
}

std::unique_ptr<SpeechListenerFactory> makeSpeechListenerFactory(const std::string&,
                                                                 std::string& error) {
  error = kListenerNotBuiltText;
  return nullptr;
}

}  // namespace voxloom
