#include "core/app/session_service.h"

#include <utility>

namespace voxloom {

SessionService::SessionService(Prompter& prompter, Shell& shell, DocumentService& document,
                               CommandStates& states, const std::string& programFolder,
                               SessionWavLoader& wavLoader, QuestionPrompt& questions,
                               const int& fadeMode)
    : sessions(SessionHost{prompter, shell, &clock_, document.document, document.folders.session,
                           document.folders.sourceWav, document.folders.useSeparate,
                           states.liveMode, programFolder, wavLoader, questions, fadeMode}) {
  states.watch(sessions.session);
  states.follow(*this);
}

void SessionService::bindSettings(Settings& s) {
  s.bindText("EditorPath", sessions.editorPath);
  s.bindText("OutputWavFiles", sessions.outputWavFolder);
}

void SessionService::commandStateChanged(int state, const CommandView& commands) {
  if (state < kStateIdle || state > kStateRecording) return;
  sessions.updateSessionControls(commands.sessionControlsMode);
  if (state == kStateSessionPlay) sessions.showReplayControls();
}

}  // namespace voxloom
