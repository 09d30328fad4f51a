#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/speech_listener.h"
#include "core/session/session.h"

namespace voxloom {

// "NAME.evp.listen.jsonl" for "NAME.evp": what the machine listener heard in each record's
// EVP, kept beside the session as the health file is.
std::string listenSidecarPath(const std::string& sessionPath);

// Longer lines are skipped as they are read, never held whole.
inline constexpr std::size_t kMaxListenLineBytes = std::size_t{4} << 20;

// One line per record the listener ran on: record number from 1, date and time, and the
// words in time order, each as a heard-word object.
std::string formatListenSidecar(const std::vector<EvpRecord>& records);

// Gives each record the words of the line with its number and date and time. Lines that
// match no record, and lines that cannot be read, are left out: the words are extra and
// never keep a session from opening. Returns the number of unreadable lines.
std::int64_t applyListenSidecar(std::string_view text, std::vector<EvpRecord>& records);

// Gives the record `words`, leaving the rest of its trace as it was (traces are shared
// between copies of a record, so it gets a trace of its own).
void setHeardWords(EvpRecord& record, std::vector<HeardWord> words);

// The words as the session panel shows them beside the answer: "hello world (2 words)";
// "nothing" when the listener heard none, empty when it never ran on the record.
std::string heardWordsText(const EvpRecord& record);

}  // namespace voxloom
