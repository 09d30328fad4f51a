#pragma once

#include "core/app/command_states.h"
#include "core/app/document_service.h"
#include "core/app/view_relay.h"
#include "core/session/session_controller.h"

namespace voxloom::cli {

// The document service and the command state it reports to; no window is told. Nothing
// is unsaved here, so a session's WAV file loads without questions.
struct CliDocument : SessionWavLoader {
  explicit CliDocument(Prompter& prompter) : document(prompter, states, relay) {}
  CliDocument(const CliDocument&) = delete;
  CliDocument& operator=(const CliDocument&) = delete;

  ViewRelay relay;
  CommandStates states{relay};
  DocumentService document;

  int loadSessionWav(const std::string& path) override { return document.load(path); }
};

}  // namespace voxloom::cli
