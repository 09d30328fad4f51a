// libFuzzer target: any byte string as a web service's reply, whole and cut at a limit,
// through the parser and the draws that use it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/random/internet_source.h"
#include "core/random/random_sources.h"

namespace {

class NullPrompter : public voxloom::Prompter {
 public:
  voxloom::Answer message(const std::string&, const std::string&, voxloom::MessageIcon,
                          voxloom::MessageButtons) override {
    return voxloom::Answer::Ok;
  }
  std::optional<std::string> chooseOpenFile(const voxloom::FileDialogSpec&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const voxloom::FileDialogSpec&) override { return {}; }
  void setBusy(bool) override {}
};

// Hands out the fuzzer's bytes as the body, cut at the limit as the real client cuts it.
class BytesClient : public voxloom::HttpClient {
 public:
  explicit BytesClient(std::string body) : body_(std::move(body)) {}
  voxloom::HttpReply get(const std::string&, std::size_t limit) override {
    voxloom::HttpReply reply;
    reply.status = 200;
    reply.body = body_.substr(0, limit);
    reply.truncated = body_.size() > limit;
    return reply;
  }

 private:
  std::string body_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  voxloom::RandomBatch batch;
  const int count = voxloom::parseServiceReply(text, batch);
  if (count < 0 || count > voxloom::RandomBatch::kValues32) __builtin_trap();

  NullPrompter prompter;
  voxloom::StopRequest stop;
  voxloom::NoPlayback noPlayback;
  voxloom::RandomSources random(stop, prompter, noPlayback);
  BytesClient client(text);
  random.http = &client;
  random.selectRandomSource(voxloom::RandomSourceKind::Internet, "", "http://x/%max%", false);
  for (std::int32_t n : {1, 2, 7, 1000000000, 2147483647}) {
    const std::int32_t v = random.drawRandom(n);
    if (v < 0 || v >= n) __builtin_trap();
    if (random.batch.index < 0 || random.batch.index > random.batch.count) __builtin_trap();
  }
  return 0;
}
