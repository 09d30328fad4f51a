#pragma once

#include <chrono>
#include <memory>

#include "core/ports/http_client.h"

namespace voxloom {

// The HttpClient of the window program and the command-line tool: one HTTP/1.1 GET on a
// Qt socket of the calling thread, waited for in a local event loop that repaints windows
// but takes no user input. Redirects are followed within the URL's scheme (at most 10),
// the whole request ends after `timeout` (a program that quits ends it at once), no proxy
// is used, only http and https URLs are fetched, and only whole, uncompressed replies
// count. Creates the QCoreApplication it needs when the program has none (the CLI).
std::unique_ptr<HttpClient> makeQtHttpClient(
    std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace voxloom
