// A build without Qt Network: the internet source fails with a reason instead of the
// program failing to link.
#include "platform/http/qt_http_client.h"

namespace voxloom {

namespace {

class NoHttpClient : public HttpClient {
 public:
  HttpReply get(const std::string& /*url*/, std::size_t /*maxBodyBytes*/) override {
    HttpReply reply;
    reply.error = "this build of Voxloom has no internet access";
    return reply;
  }
};

}  // namespace

std::unique_ptr<HttpClient> makeQtHttpClient(std::chrono::milliseconds /*timeout*/) {
  return std::make_unique<NoHttpClient>();
}

}  // namespace voxloom
