#pragma once

#include "core/app/command_states.h"
#include "core/app/document_service.h"
#include "core/app/view_relay.h"

namespace voxloom::cli {

// The document service and the command state it reports to; no window is told.
struct CliDocument {
  explicit CliDocument(Prompter& prompter) : document(prompter, states, relay) {}
  CliDocument(const CliDocument&) = delete;
  CliDocument& operator=(const CliDocument&) = delete;

  ViewRelay relay;
  CommandStates states{relay};
  DocumentService document;
};

}  // namespace voxloom::cli
