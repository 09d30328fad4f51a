#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/http_client.h"
#include "core/ports/prompter.h"
#include "core/ports/service_url_dialog.h"
#include "core/random/random_batch.h"
#include "core/random/stop_request.h"

namespace voxloom {

inline constexpr const char* kFetchingCaption = "Retrieving Random Numbers via HTTP ...";
inline constexpr const char* kNoServiceNumbersText =
    "Couldn't retrieve any random numbers from the Internet.";
// The longest reply 1024 numbers can need: "-2147483648\r\n" and a few blanks each. A
// longer body is cut there and its last, unfinished line dropped.
inline constexpr std::size_t kServiceReplyLimit = 1024 * 16;

// The template with "%num%" = 1024, "%min%" = 0 and "%max%" = n - 1, in any letter case.
std::string expandServiceUrl(const std::string& templ, std::int32_t n);

// The numbers of a reply, one a line, at most 1024, into `values32`; returns the count.
// Empty lines are skipped; the first line that is not a 32-bit integer ends the list.
// A line is an optional sign and decimal digits, with blanks and a CR around them.
int parseServiceReply(std::string_view text, RandomBatch& batch);

std::string fetchFailedText(const std::string& error);

// What fetchFromService needs from the main window. `showFetching(true)` keeps the
// caption and shows kFetchingCaption; `showFetching(false)` restores it.
struct ServiceFetch {
  HttpClient* http;  // none: the fetch fails with a message
  Prompter& prompter;
  StopRequest& stop;  // raised before the message is shown
  std::function<void(bool fetching)> showFetching;
};

// Fills the batch from the service for a draw with range n; false after its message.
// On a failed GET the batch keeps its index and count.
bool fetchFromService(const std::string& serviceUrl, std::int32_t n, RandomBatch& batch,
                      ServiceFetch& fetch);

// The next number of the batch, fetching a new batch when it is used up; nothing when
// the fetch failed (the stop request is raised and the message shown).
std::optional<std::int32_t> nextServiceValue(const std::string& serviceUrl, std::int32_t n,
                                             RandomBatch& batch, ServiceFetch& fetch);

}  // namespace voxloom
