#pragma once

#include <functional>

#include "core/app/command_states.h"
#include "core/app/document_service.h"
#include "core/engine/recording_engine.h"
#include "core/ports/event_loop.h"
#include "core/ports/timer.h"
#include "core/settings/settings.h"

namespace voxloom {

// Recording into the document: the engine, its parameters and level meter, the Record
// command and ending a recording before the program closes.
class RecordingService {
 public:
  // `gate` asks about unsaved work before a take replaces it.
  RecordingService(Prompter& prompter, DocumentService& document, CommandStates& states,
                   ViewRelay& relay, DocumentGate& gate);
  RecordingService(const RecordingService&) = delete;
  RecordingService& operator=(const RecordingService&) = delete;

  void bindSettings(Settings& settings);

  RecordingEngine engine;

  // The input device; without one Record does nothing.
  void attach(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay);
  void start();  // ButtonRecord, MenuFileRecord, F4
  // Stops a running recording and waits, bounded, until it has ended.
  void drain();

 private:
  DocumentService& document_;
  CommandStates& states_;
  ViewRelay& relay_;
  EventLoop* loop_ = nullptr;
};

}  // namespace voxloom
