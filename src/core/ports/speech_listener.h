#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace voxloom {

// One word a speech recogniser heard: times in seconds from the start of what it was
// given, confidence from 0 to 1.
struct HeardWord {
  std::string word;
  double start = 0.0;
  double end = 0.0;
  double confidence = 0.0;

  bool operator==(const HeardWord&) const = default;
};

// 16-bit samples pulled in blocks, so that an hour of sound never has to sit in memory.
class PcmSource {
 public:
  virtual ~PcmSource() = default;
  virtual std::uint32_t rate() const = 0;
  virtual int channels() const = 0;
  // Frames in all, for progress; -1 when not known.
  virtual std::int64_t totalFrames() const = 0;
  // Fills `out` with up to `frames` interleaved frames; the number read, 0 at the end.
  virtual std::size_t read(std::int16_t* out, std::size_t frames) = 0;
};

struct ListenRequest {
  // Words or phrases to spot; empty: every word the recogniser knows.
  std::vector<std::string> keywords;
  // Words heard with less confidence are left out.
  double minConfidence = 0.0;
  // Called now and then with the part done (0..1); returning false cancels.
  std::function<bool(double)> progress;
};

struct ListenResult {
  std::vector<HeardWord> words;  // in time order
  bool cancelled = false;
  std::string error;  // empty when the listening went through
};

// Turns speech into words. One listener serves one thread at a time.
class SpeechListener {
 public:
  virtual ~SpeechListener() = default;
  virtual ListenResult listen(PcmSource& sound, const ListenRequest& request) = 0;
};

// Makes listeners whose model is loaded once, for front ends that listen on several
// threads or several times.
class SpeechListenerFactory {
 public:
  virtual ~SpeechListenerFactory() = default;
  // A listener, or null with `error` set (a missing model folder, say).
  virtual std::unique_ptr<SpeechListener> make(std::string& error) = 0;
};

inline constexpr const char* kListenerNotBuiltText =
    "The machine listener is not part of this build.";

}  // namespace voxloom
