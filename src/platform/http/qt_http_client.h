#pragma once

#include <chrono>
#include <memory>

#include "core/ports/http_client.h"

namespace voxloom {

// The HttpClient of the window program and the command-line tool: one GET on Qt Network,
// waited for in a local event loop that repaints windows but takes no user input.
// Redirects are followed within the URL's scheme (at most 10), the whole request ends
// after `timeout`, no proxy is used, and only http and https URLs are fetched. Creates
// the QCoreApplication it needs when the program has none (the command-line tool).
std::unique_ptr<HttpClient> makeQtHttpClient(
    std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace voxloom
