#pragma once

#include <functional>
#include <string>

#include "core/app/command_states.h"
#include "core/app/document_service.h"
#include "core/ports/shell.h"
#include "core/session/session_controller.h"
#include "core/session/system_clock.h"
#include "core/settings/settings.h"

namespace voxloom {

// The open session and its panel. The session's WAV file is loaded through `wavLoader`,
// the Open command's own steps; a capture asks `questions` for its question; export
// cross-fades with the shape `fadeMode` holds.
class SessionService : public CommandFollower {
 public:
  SessionService(Prompter& prompter, Shell& shell, DocumentService& document, CommandStates& states,
                 const std::string& programFolder, SessionWavLoader& wavLoader,
                 QuestionPrompt& questions, const int& fadeMode);
  SessionService(const SessionService&) = delete;
  SessionService& operator=(const SessionService&) = delete;

  void bindSettings(Settings& settings);

  void commandStateChanged(int state, const CommandView& commands) override;

 private:
  SystemClock clock_;

 public:
  SessionController sessions;
};

}  // namespace voxloom
