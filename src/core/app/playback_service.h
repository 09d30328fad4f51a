#pragma once

#include <cstdint>
#include <functional>

#include "core/app/command_states.h"
#include "core/app/document_service.h"
#include "core/app/playback_parts.h"
#include "core/app/random_service.h"
#include "core/app/recording_service.h"
#include "core/engine/live_source.h"
#include "core/engine/speed_control.h"
#include "core/engine/visual_feedback.h"
#include "core/session/session.h"
#include "core/settings/settings.h"

namespace voxloom {

// Playing the document, Make EVP and session replay, the speed control, the visual
// feedback and the live source.
class PlaybackService : public CommandFollower, PlaybackPeers, PlaybackControl {
 public:
  // `gate` asks about unsaved work before live input replaces it.
  PlaybackService(Prompter& prompter, DocumentService& document, RandomService& random,
                  RecordingService& recording, CommandStates& states, ViewRelay& relay,
                  DocumentGate& gate);
  PlaybackService(const PlaybackService&) = delete;
  PlaybackService& operator=(const PlaybackService&) = delete;

  void bindSettings(Settings& settings);

  PlaybackParts parts;
  SpeedControl speed;       // TFormSpeedControlWindow
  VisualFeedback feedback;  // TFormVisualFeedbackWindow
  LiveSource live;

  // The output device; without one the play commands do nothing. `capture` takes what
  // Make EVP makes into the session.
  PlaybackEngine& attach(WaveOut& device, EventLoop& loop, OneShotTimer* timer,
                         EvpCapture& capture);
  void play();
  void makeEvp();
  void togglePause();
  // Stop ends a recording as well.
  void stop();
  void toggleRandomLog();
  // The user closed TFormManualRandom: it stays hidden; an EVP made with it stops.
  void closeManualRandom();
  // Stops any run and waits, bounded, until the devices have returned every block.
  void stopAndDrain();

  // Replays `n` records of `session` from the record at index `first`; only when idle.
  void playRecords(const Session& session, std::int32_t first, std::int32_t n);
  void stopReplay();  // only during a replay

  void changeSpeedSlider(int position);  // TrackBarSpeedChange
  void setSpeed(int percent);
  void showSegment(std::int32_t segmentNumber);
  void toggleSpeedWindow() { speed.window.toggle(); }
  void toggleFeedbackWindow() { feedback.window.toggle(); }
  void startUpToolWindows();
  void closeToolWindows();

  // The live input device; without one the live mode stays off.
  void attachLive(WaveIn& device, EventLoop& loop);
  void toggleLiveMode();  // MenuExtrasLive
  bool setLiveMode(bool on);
  // Switches live input off and delivers what its device hands back (close query).
  void leaveLiveMode();

  void commandStateChanged(int state, const CommandView& commands) override;

 private:
  bool muteRepeats() override;
  void resetRecording() override;
  bool stopPlayback() override {
    stop();
    return parts.engine() != nullptr;
  }

  DocumentService& document_;
  RecordingService& recording_;
  CommandStates& states_;
  ViewRelay& relay_;
  EventLoop* liveLoop_ = nullptr;
};

}  // namespace voxloom
