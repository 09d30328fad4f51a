#pragma once

#include <string>

#include "core/app/command_states.h"
#include "core/app/document_service.h"
#include "core/app/listener_service.h"
#include "core/app/playback_service.h"
#include "core/app/random_service.h"
#include "core/app/recording_service.h"
#include "core/app/session_replay.h"
#include "core/app/session_service.h"
#include "core/app/settings_service.h"
#include "core/app/view_relay.h"
#include "core/ports/prompter.h"
#include "core/ports/shell.h"

namespace voxloom {

inline constexpr const char* kUnknownFiletypeText =
    "Unknown filetype. Voxloom does accept only the\nfollowing types of files: EVP session files "
    "(*.evp),\nWAV files (*.wav), and Random Source files (*.pcm)";

// Every service of the window program, built in order, and the steps that span more than
// one of them: discarding the document asks about the session first, a save must not
// replace a file the program still reads, the devices reach every engine.
class AppServices : DocumentGate, SessionWavLoader, PlaybackControl {
 public:
  // `questions` asks for the question of each captured EVP.
  AppServices(Prompter& prompter, Shell& shell, QuestionPrompt& questions);
  AppServices(const AppServices&) = delete;
  AppServices& operator=(const AppServices&) = delete;

  std::string programFolder;  // where the program lives: help files are looked up below it
  ViewRelay relay;
  CommandStates states{relay};
  DocumentService document;
  RecordingService recording;
  RandomService random;
  PlaybackService playback;
  SessionService sessions;
  SettingsService settings;
  // Make EVP into the open session.
  SessionCapture capture{sessions.sessions, playback.parts.sequencerContext()};
  // Extras > Machine listener...; without a factory its command stays disabled.
  ListenerService listener;

  // Closes the session and the document after asking about unsaved changes; every question
  // is answered before anything is discarded. True: cancelled, everything kept.
  bool discardDocumentIfAllowed();
  // Open: unsaved work first, then the file; 0 when it loaded.
  int readWavFile(const std::string& path);
  void openWavFile(const std::string& path);  // empty: ask for the file
  void openFileByType(const std::string& path);
  int saveDocument(bool askFirst);
  // Source 0: the session's current EVP; 1: the document.
  int writeWavFile(const std::string& path, int source);

  void loadSettings();
  // The device choices reach the engines that open devices.
  void applyDeviceChoices();

  void attachPlayback(WaveOut& device, EventLoop& loop, OneShotTimer* timer);
  void attachRecording(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay);
  void attachLive(WaveIn& device, EventLoop& loop);

 private:
  bool discardDocument() override { return discardDocumentIfAllowed(); }
  int loadSessionWav(const std::string& path) override { return readWavFile(path); }
  bool stopPlayback() override;

  Prompter& prompter_;
};

}  // namespace voxloom
