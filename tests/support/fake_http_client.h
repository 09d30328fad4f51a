#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/ports/http_client.h"

namespace voxloom::test {

// An HttpClient that hands out scripted replies and records every request. It keeps
// to the port's byte limit the way the real client does: a longer body is cut there.
class FakeHttpClient : public HttpClient {
 public:
  std::deque<HttpReply> replies;  // none left: a connection error
  std::vector<std::string> urls;
  std::vector<std::size_t> limits;
  std::function<void()> onGet;  // runs inside each request, as the window's repaints do

  HttpReply get(const std::string& url, std::size_t maxBodyBytes) override {
    urls.push_back(url);
    limits.push_back(maxBodyBytes);
    if (onGet) onGet();
    if (replies.empty()) return failure("Connection refused");
    HttpReply reply = std::move(replies.front());
    replies.pop_front();
    if (reply.body.size() > maxBodyBytes) {
      reply.body.resize(maxBodyBytes);
      reply.truncated = true;
    }
    return reply;
  }

  static HttpReply ok(std::string body) { return status(200, "OK", std::move(body)); }
  static HttpReply status(int code, std::string reason, std::string body) {
    HttpReply reply;
    reply.status = code;
    reply.reason = std::move(reason);
    reply.body = std::move(body);
    return reply;
  }
  static HttpReply failure(std::string error) {
    HttpReply reply;
    reply.error = std::move(error);
    return reply;
  }
};

}  // namespace voxloom::test
