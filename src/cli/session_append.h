#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/engine/offline_evp.h"
#include "core/ports/prompter.h"
#include "core/session/session_controller.h"

namespace voxloom::cli {

// Answers the question prompt with the text given on the command line.
class GivenQuestion final : public QuestionPrompt {
 public:
  explicit GivenQuestion(std::string text) : text_(std::move(text)) {}
  std::optional<std::string> askQuestion(const std::string&) override { return text_; }

 private:
  std::string text_;
};

// Captures an EVP made offline into a session file the way Make EVP captures one in the
// window: the session is read as opening it does (a missing file starts a new session),
// the record is started with the question before the first block, gets one entry per
// block and is finished as a run with nothing in flight, then the file is written whole.
class SessionAppend {
 public:
  SessionAppend(SessionController& sessions, Prompter& prompter)
      : sessions_(sessions), prompter_(prompter) {}

  // Reads `path` for an EVP of the WAV file `wavPath` (stored as a full path). False after a
  // message: the file is not a session, cannot be read, or belongs to another WAV file.
  bool open(const std::string& path, const std::string& wavPath);
  // Starts the record with the stamp of now and the question the sessions are given.
  bool begin();
  // Adds the entries and finishes the capture; every block sounded, so all stay.
  void finish(const std::vector<OfflineEvpEntry>& entries);
  // Adds the new record to the file as it is now (another run may have added records
  // since open) and writes it, holding the file's lock from reading to writing; false
  // after the message.
  bool save();

 private:
  // Reads the session file into `records`; true for a missing file (no records).
  bool readRecords(const std::string& path, const std::string& wavPath,
                   std::vector<EvpRecord>& records, std::string& storedWavPath);

  SessionController& sessions_;
  Prompter& prompter_;
  std::size_t recordsRead_ = 0;  // the records the file had at open
};

}  // namespace voxloom::cli
