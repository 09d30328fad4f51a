#pragma once

#include <cstddef>
#include <string>

namespace voxloom {

// What one GET brought back. `error` is set when no whole reply arrived (no connection,
// time-out, a reply cut short or malformed, refused redirect or encoding); the body is
// empty then. An HTTP error status arrives as a reply with that status.
struct HttpReply {
  std::string error;
  int status = 0;          // HTTP status code of the final reply
  std::string reason;      // its reason phrase, "Not Found"
  std::string body;        // at most the byte limit of the request
  bool truncated = false;  // the body went on beyond the limit and was cut there
};

// One HTTP GET, run to its end on the calling thread. The window stays painted while it
// waits but takes no input; redirects are followed within the same scheme only, and the
// wait ends at the client's time-out.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpReply get(const std::string& url, std::size_t maxBodyBytes) = 0;
};

}  // namespace voxloom
