#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/app/command_states.h"
#include "core/app/document_service.h"
#include "core/app/view_relay.h"
#include "core/ports/event_loop.h"
#include "core/ports/prompter.h"
#include "core/ports/speech_listener.h"
#include "core/session/session_controller.h"
#include "core/settings/settings.h"

namespace voxloom {

// What the user chose for a listening.
struct ListenChoices {
  std::string wordListPath;  // empty: every word the listener knows
  int minConfidencePercent = 0;
  bool onRecord = false;  // the current session record's EVP instead of the document
};

// Asks for the choices before a listening; `recordText` names the session's current
// record ("EVP 2/5"), empty when there is none. False: cancelled.
class ListenDialog {
 public:
  virtual bool ask(ListenChoices& choices, const std::string& recordText) = 0;

 protected:
  ~ListenDialog() = default;
};

// The machine listener in the window: one listening at a time on a worker thread, over
// a copy of the samples, cancellable, its words handed back on the window's thread.
// Words heard in the document go to the signal view's word lane, provided the document
// still holds the samples listened to; words heard in a session record's EVP stay with
// that record.
class ListenerService {
 public:
  ListenerService(Prompter& prompter, DocumentService& document, SessionController& sessions,
                  CommandStates& states, ViewRelay& relay);
  ~ListenerService();
  ListenerService(const ListenerService&) = delete;
  ListenerService& operator=(const ListenerService&) = delete;

  // The listener's model, loaded once; null with the reason there is none.
  void setFactory(std::unique_ptr<SpeechListenerFactory> factory, std::string whyNone);
  // Where the words are handed back: the window's thread.
  void attach(EventLoop& loop) {
    loop_ = &loop;
    states_.listenerReady = available();
  }
  bool available() const { return factory_ != nullptr && loop_ != nullptr; }
  const std::string& unavailableText() const { return whyNone_; }

  ListenChoices choices;  // the dialog's, kept between runs
  void bindSettings(Settings& settings);
  ListenDialog* dialog = nullptr;  // none: the choices as they are
  // Told on the window's thread as a listening progresses and when it ends.
  std::function<void()> onProgress;

  // Extras > Machine listener...: asks and starts; while a listening runs, cancels it.
  void command();
  // Starts a listening with `choices`; false after the message when it cannot start.
  bool start(const ListenChoices& choices);
  void cancel();
  bool running() const { return job_ != nullptr; }
  // "Listening... 42 %" while one runs; afterwards what came of the last one.
  std::string statusText() const;

 private:
  struct Job;
  void finish(const std::shared_ptr<Job>& job, ListenResult result);
  void setListening(bool listening);
  bool snapshotRecord(Job& job);

  Prompter& prompter_;
  DocumentService& document_;
  SessionController& sessions_;
  CommandStates& states_;
  ViewRelay& relay_;
  EventLoop* loop_ = nullptr;
  std::unique_ptr<SpeechListenerFactory> factory_;
  std::string whyNone_ = kListenerNotBuiltText;
  // Made on the first worker from the factory, then used by one worker at a time.
  std::unique_ptr<SpeechListener> listener_;
  std::shared_ptr<Job> job_;
  std::thread worker_;
  std::string outcome_;
  // Calls posted by a worker check it: the service may be gone when they run.
  std::shared_ptr<ListenerService*> self_ = std::make_shared<ListenerService*>(this);
};

}  // namespace voxloom
