#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/speech_listener.h"

namespace voxloom::test {

// "Hears" a word in each half second whose samples hash to a multiple of three: the
// same sound gives the same words, and other sound (the same played backwards, say)
// gives others. Keywords, when given, are the only words it can hear, in turn.
class FakeSpeechListener final : public SpeechListener {
 public:
  ListenResult listen(PcmSource& sound, const ListenRequest& request) override {
    ListenResult result;
    const std::uint32_t rate = sound.rate() ? sound.rate() : 1;
    const std::size_t window = rate / 2 ? rate / 2 : 1;
    const int channels = sound.channels() > 0 ? sound.channels() : 1;
    std::vector<std::int16_t> block(window * static_cast<std::size_t>(channels));
    const std::int64_t total = sound.totalFrames();
    std::int64_t done = 0;
    for (std::size_t n; (n = sound.read(block.data(), window)) > 0; done += n) {
      std::uint64_t hash = 1469598103934665603ull;
      for (std::size_t i = 0; i < n * static_cast<std::size_t>(channels); ++i)
        hash = (hash ^ static_cast<std::uint16_t>(block[i])) * 1099511628211ull;
      const double start = static_cast<double>(done) / rate;
      const double confidence = static_cast<double>(hash % 1000) / 1000.0;
      if (hash % 3 == 0 && confidence >= request.minConfidence) {
        const std::string word =
            request.keywords.empty()
                ? "w" + std::to_string(hash % 7)
                : request.keywords[result.words.size() % request.keywords.size()];
        result.words.push_back({word, start, start + static_cast<double>(n) / rate, confidence});
      }
      if (request.progress && total > 0 &&
          !request.progress(static_cast<double>(done + n) / static_cast<double>(total))) {
        result.cancelled = true;
        break;
      }
    }
    ++listened;
    return result;
  }

  static inline std::atomic<int> listened{0};
};

class FakeSpeechListenerFactory final : public SpeechListenerFactory {
 public:
  std::unique_ptr<SpeechListener> make(std::string&) override {
    return std::make_unique<FakeSpeechListener>();
  }
};

// Samples held in memory as a PcmSource.
class MemoryPcmSource final : public PcmSource {
 public:
  MemoryPcmSource(std::vector<std::int16_t> samples, std::uint32_t rate, int channels = 1)
      : samples_(std::move(samples)), rate_(rate), channels_(channels) {}
  std::uint32_t rate() const override { return rate_; }
  int channels() const override { return channels_; }
  std::int64_t totalFrames() const override {
    return static_cast<std::int64_t>(samples_.size()) / channels_;
  }
  std::size_t read(std::int16_t* out, std::size_t frames) override {
    const std::size_t left = (samples_.size() - at_) / static_cast<std::size_t>(channels_);
    const std::size_t n = frames < left ? frames : left;
    const std::size_t count = n * static_cast<std::size_t>(channels_);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(at_), count, out);
    at_ += count;
    return n;
  }

 private:
  std::vector<std::int16_t> samples_;
  std::size_t at_ = 0;
  std::uint32_t rate_;
  int channels_;
};

}  // namespace voxloom::test
