#pragma once

#include <string>

#include "core/audio/audio_document.h"
#include "core/session/session.h"

namespace voxloom {

// "$XDG_STATE_HOME/voxloom/recovery", or "$HOME/.local/state/voxloom/recovery" when the
// first is unset or not absolute; empty when neither variable helps.
std::string defaultRecoveryFolder(const char* xdgStateHome, const char* home);

// A modified loaded document or a modified session with records: what a signal keeps.
bool hasUnsavedWork(const AudioDocument& document, const Session& session);

// Where the recovery copies of a modified document and an unsaved session were saved from.
struct RecoveryOrigin {
  bool hasDocument = false;
  bool hasSession = false;
  std::string documentPath;  // empty: the document had never been saved
  std::string sessionPath;   // empty: the session had never been saved
};

// Copies of unsaved work, kept when the program is ended by a signal and offered back at
// the next start. The folder is private to the user: the copies may hold recordings.
class RecoveryStore {
 public:
  explicit RecoveryStore(std::string folder) : folder_(std::move(folder)) {}

  const std::string& folder() const { return folder_; }
  std::string documentCopy() const { return folder_ + "/document.wav"; }
  std::string sessionCopy() const { return folder_ + "/session.evp"; }

  // Writes a copy of the document when it is loaded and modified and of the session when
  // it has records and is modified; earlier copies are replaced. False when a copy that
  // was due could not be written.
  bool save(AudioDocument& document, const Session& session);
  // What the folder holds; nothing when there is no complete set of copies.
  RecoveryOrigin pending() const;
  // Removes the copies (not the folder).
  void discard() const;

 private:
  std::string originFile() const { return folder_ + "/origin"; }

  std::string folder_;
};

}  // namespace voxloom
