#include "platform/speech/pocketsphinx_listener.h"

#include <pocketsphinx.h>
#include <soxr.h>
#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <vector>

#include "core/listen/utterance_cutter.h"
#include "core/listen/word_list.h"
#include "platform/speech/speech_listener_factory.h"

namespace voxloom {

namespace {

constexpr std::uint32_t kDecoderRate = 16000;
constexpr std::uint32_t kMaxRate = 768000;
constexpr int kFramesPerSecond = 100;  // the model's feature rate
constexpr const char* kKeywordSearch = "keywords";

// The model's files, checked before the recogniser would fail with a log nobody reads.
std::string checkModel(const std::filesystem::path& dir) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    return "The speech model folder '" + dir.string() + "' was not found.";
  for (const char* part : {"en-us", "en-us.lm.bin", "cmudict-en-us.dict"})
    if (!std::filesystem::exists(dir / part, ec))
      return "The speech model folder '" + dir.string() + "' has no '" + part + "'.";
  return {};
}

// The recogniser names the search it starts with "_default"; ps_get_search() would tell
// too, but leaks an iterator at every call.
std::string startSearchOf(ps_decoder_t* ps) {
  constexpr const char* kStartSearch = "_default";
  return ps_get_lm(ps, kStartSearch) != nullptr ? kStartSearch : ps_get_search(ps);
}

std::string loadFailedText(const std::string& dir) {
  return "The speech model in '" + dir + "' could not be loaded.";
}

// Decoders for one model, handed out one per listener and taken back when it ends.
class DecoderPool {
 public:
  DecoderPool(std::string modelDir, const PocketSphinxTuning& tuning)
      : modelDir_(std::move(modelDir)), tuning_(tuning) {}
  ~DecoderPool() {
    for (ps_decoder_t* ps : idle_) ps_free(ps);
    if (config_) cmd_ln_free_r(config_);
  }
  DecoderPool(const DecoderPool&) = delete;
  DecoderPool& operator=(const DecoderPool&) = delete;

  const std::string& modelDir() const { return modelDir_; }
  ps_decoder_t* acquire() {
    std::lock_guard lock(mutex_);
    if (!idle_.empty()) {
      ps_decoder_t* ps = idle_.back();
      idle_.pop_back();
      return ps;
    }
    if (!config_) config_ = makeConfig();
    return config_ ? ps_init(config_) : nullptr;
  }
  void release(ps_decoder_t* ps) {
    std::lock_guard lock(mutex_);
    idle_.push_back(ps);
  }

 private:
  cmd_ln_t* makeConfig() const {
    const std::filesystem::path dir(modelDir_);
    const std::string hmm = (dir / "en-us").string();
    const std::string lm = (dir / "en-us.lm.bin").string();
    const std::string dict = (dir / "cmudict-en-us.dict").string();
    std::vector<std::string> args = {"-hmm", hmm, "-lm", lm, "-dict", dict, "-logfn", "/dev/null"};
    if (!tuning_.defaults) {
      const auto add = [&](const char* name, int value) {
        args.push_back(name);
        args.push_back(std::to_string(value));
      };
      add("-maxhmmpf", tuning_.maxHmmPerFrame);
      add("-topn", tuning_.topN);
      add("-maxwpf", tuning_.maxWordsPerFrame);
      add("-pl_window", tuning_.lookaheadWindow);
      if (!tuning_.flatSecondPass) {
        args.push_back("-fwdflat");
        args.push_back("no");
      }
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return cmd_ln_parse_r(nullptr, ps_args(), static_cast<int32>(argv.size()), argv.data(), TRUE);
  }

  std::string modelDir_;
  PocketSphinxTuning tuning_;
  std::mutex mutex_;
  cmd_ln_t* config_ = nullptr;
  std::vector<ps_decoder_t*> idle_;
};

// Streaming conversion to 16 kHz mono: only a block of input and its output are held.
class MonoResampler {
 public:
  MonoResampler(std::uint32_t rate, int channels) : channels_(channels) {
    if (rate == kDecoderRate) return;
    // No dither on the 16-bit output: its noise is random, and the same sound must give
    // the same words.
    soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    io.flags |= SOXR_NO_DITHER;
    // Speech needs no more than the medium quality, which costs a third of the high.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_MQ, 0);
    soxr_error_t error = nullptr;
    soxr_ = soxr_create(rate, kDecoderRate, 1, &error, &io, &quality, nullptr);
    if (error) {
      soxr_delete(soxr_);
      soxr_ = nullptr;
      failed_ = true;
    }
  }
  bool failed() const { return failed_; }
  ~MonoResampler() {
    if (soxr_) soxr_delete(soxr_);
  }
  MonoResampler(const MonoResampler&) = delete;
  MonoResampler& operator=(const MonoResampler&) = delete;

  // Converts `frames` interleaved frames; with none, drains what the filter holds.
  std::span<const std::int16_t> convert(const std::int16_t* in, std::size_t frames) {
    mono_.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
      int sum = 0;
      for (int c = 0; c < channels_; ++c) sum += in[i * static_cast<std::size_t>(channels_) + c];
      mono_[i] = static_cast<std::int16_t>(sum / channels_);
    }
    if (!soxr_) return mono_;
    out_.clear();
    std::size_t offset = 0;
    for (;;) {
      const std::size_t room = frames * kDecoderRate / 8000 + 4096;
      std::size_t used = 0;
      std::size_t made = 0;
      out_.resize(offset + room);
      soxr_process(soxr_, frames ? mono_.data() : nullptr, frames, &used, out_.data() + offset,
                   room, &made);
      offset += made;
      if (frames) {
        if (used >= frames) break;
        mono_.erase(mono_.begin(), mono_.begin() + static_cast<std::ptrdiff_t>(used));
        frames -= used;
      } else if (made == 0) {
        break;
      }
    }
    out_.resize(offset);
    return out_;
  }

 private:
  int channels_;
  soxr_t soxr_ = nullptr;
  bool failed_ = false;
  std::vector<std::int16_t> mono_;
  std::vector<std::int16_t> out_;
};

// Keyword spotting thresholds: a longer phrase piles up more acoustic evidence, so it
// needs a smaller ratio to be told from chance. 1e-N for N phones found 15 of 16 list
// words said in the LibriVox recordings with 5 false hits, none in 30 s of white noise;
// 1e-(5 + 2.5 N) and looser let three times the false hits through for one more word.
double keywordThreshold(std::size_t phones) {
  return std::pow(10.0, -static_cast<double>(std::clamp<std::size_t>(phones, 1, 45)));
}

class PocketSphinxListener final : public SpeechListener {
 public:
  PocketSphinxListener(std::shared_ptr<DecoderPool> pool, ps_decoder_t* ps)
      : pool_(std::move(pool)), ps_(ps) {}
  ~PocketSphinxListener() override {
    ps_set_search(ps_, wordSearch_.c_str());  // the next listener starts as this one did
    pool_->release(ps_);
  }
  PocketSphinxListener(const PocketSphinxListener&) = delete;
  PocketSphinxListener& operator=(const PocketSphinxListener&) = delete;

  ListenResult listen(PcmSource& sound, const ListenRequest& request) override {
    ListenResult result;
    // Beyond any sound card: a header that claims more is broken, and its blocks would
    // be huge.
    if (sound.channels() < 1) {
      result.error = "The sound has no channels.";
      return result;
    }
    if (sound.rate() == 0 || sound.rate() > kMaxRate) {
      result.error = "The listener takes sample rates from 1 to " + std::to_string(kMaxRate) +
                     " Hz, not " + std::to_string(sound.rate()) + " Hz.";
      return result;
    }
    result.error = chooseSearch(request.keywords);
    if (!result.error.empty()) return result;

    // Noise level and silence detection start afresh: the words of a recording do not
    // depend on what the decoder heard before.
    ps_start_stream(ps_);
    MonoResampler resampler(sound.rate(), sound.channels());
    if (resampler.failed()) {
      result.error = "The listener could not resample the sound to 16 kHz.";
      return result;
    }
    UtteranceCutter cutter;
    const UtteranceCutter::Emit decode = [&](std::span<const std::int16_t> samples,
                                             std::int64_t start) {
      decodeUtterance(samples, start, request.minConfidence, result.words);
    };
    const std::int64_t total = sound.totalFrames();
    const std::size_t block = sound.rate() / 10 + 1;
    std::vector<std::int16_t> buffer(block * static_cast<std::size_t>(sound.channels()));
    std::int64_t done = 0;
    for (std::size_t n; (n = sound.read(buffer.data(), block)) > 0;) {
      cutter.push(resampler.convert(buffer.data(), n), decode);
      done += static_cast<std::int64_t>(n);
      if (request.progress && total > 0 &&
          !request.progress(static_cast<double>(done) / static_cast<double>(total))) {
        result.cancelled = true;
        return result;
      }
    }
    cutter.push(resampler.convert(nullptr, 0), decode);
    cutter.finish(decode);

    // The filter's tail may reach a hair beyond the input.
    const double length = static_cast<double>(done) / sound.rate();
    for (HeardWord& w : result.words) {
      w.start = std::min(w.start, length);
      w.end = std::min(w.end, length);
    }
    std::stable_sort(result.words.begin(), result.words.end(),
                     [](const HeardWord& a, const HeardWord& b) { return a.start < b.start; });
    return result;
  }

 private:
  // Every word the model knows, or spotting of `keywords`; the error names the words
  // the dictionary lacks.
  std::string chooseSearch(const std::vector<std::string>& keywords) {
    if (keywords.empty()) {
      ps_set_search(ps_, wordSearch_.c_str());
      return {};
    }
    std::vector<std::string> missing;
    std::ostringstream lines;
    for (const std::string& phrase : keywords) {
      std::istringstream words(phrase);
      std::size_t phones = 0;
      for (std::string word; words >> word;) {
        char* pronunciation = ps_lookup_word(ps_, word.c_str());
        if (!pronunciation) {
          if (std::find(missing.begin(), missing.end(), word) == missing.end())
            missing.push_back(word);
          continue;
        }
        std::istringstream p(pronunciation);
        for (std::string phone; p >> phone;) ++phones;
        std::free(pronunciation);
      }
      char threshold[32];
      std::snprintf(threshold, sizeof threshold, "%.0e", keywordThreshold(phones));
      lines << phrase << " /" << threshold << "/\n";
    }
    if (!missing.empty()) {
      std::string text = "The dictionary has no word";
      text += missing.size() == 1 ? " '" + missing[0] + "'." : "s ";
      if (missing.size() > 1) {
        for (std::size_t i = 0; i < missing.size(); ++i)
          text += (i ? ", '" : "'") + missing[i] + "'";
        text += ".";
      }
      return text;
    }
    // The keyword search reads its phrases from a file only.
    std::error_code ec;
    std::string path =
        (std::filesystem::temp_directory_path(ec) / "voxloom-keywords-XXXXXX").string();
    const int fd = mkstemp(path.data());
    if (fd < 0) return "Can't write the keyword list for the listener.";
    const std::string text = lines.str();
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    ps_set_search(ps_,
                  wordSearch_.c_str());  // the keyword search may be replaced: not while active
    const bool set = written && ps_set_kws(ps_, kKeywordSearch, path.c_str()) == 0 &&
                     ps_set_search(ps_, kKeywordSearch) == 0;
    unlink(path.c_str());
    return set ? std::string() : "The listener could not take the word list.";
  }

  void decodeUtterance(std::span<const std::int16_t> samples, std::int64_t start,
                       double minConfidence, std::vector<HeardWord>& words) {
    if (ps_start_utt(ps_) < 0) return;
    ps_process_raw(ps_, samples.data(), samples.size(), FALSE, TRUE);
    ps_end_utt(ps_);
    logmath_t* lmath = ps_get_logmath(ps_);
    const double offset = static_cast<double>(start) / kDecoderRate;
    for (ps_seg_t* seg = ps_seg_iter(ps_); seg; seg = ps_seg_next(seg)) {
      std::string word = spokenWord(ps_seg_word(seg));
      if (word.empty()) continue;
      int first = 0;
      int last = 0;
      ps_seg_frames(seg, &first, &last);
      int32 acoustic = 0;
      int32 language = 0;
      int32 backoff = 0;
      // The word's posterior probability in the utterance's lattice: the share of all
      // paths through it that pass through this word there.
      const double confidence = std::clamp(
          logmath_exp(lmath, ps_seg_prob(seg, &acoustic, &language, &backoff)), 0.0, 1.0);
      if (confidence < minConfidence) continue;
      words.push_back({std::move(word), offset + static_cast<double>(first) / kFramesPerSecond,
                       offset + static_cast<double>(last + 1) / kFramesPerSecond, confidence});
    }
  }

  std::shared_ptr<DecoderPool> pool_;
  ps_decoder_t* ps_;
  // The language model search the decoder starts with.
  const std::string wordSearch_ = startSearchOf(ps_);
};

class PocketSphinxFactory final : public SpeechListenerFactory {
 public:
  explicit PocketSphinxFactory(std::shared_ptr<DecoderPool> pool) : pool_(std::move(pool)) {}
  std::unique_ptr<SpeechListener> make(std::string& error) override {
    ps_decoder_t* ps = pool_->acquire();
    if (!ps) {
      error = loadFailedText(pool_->modelDir());
      return nullptr;
    }
    return std::make_unique<PocketSphinxListener>(pool_, ps);
  }

 private:
  std::shared_ptr<DecoderPool> pool_;
};

}  // namespace

std::unique_ptr<SpeechListenerFactory> makePocketSphinxFactory(const std::string& modelDir,
                                                               const PocketSphinxTuning& tuning,
                                                               std::string& error, bool loadNow) {
  const std::string dir = modelDir.empty() ? defaultSpeechModelDir() : modelDir;
  error = checkModel(dir);
  if (!error.empty()) return nullptr;
  // The recogniser logs to stderr from its first call unless told otherwise.
  err_set_logfp(nullptr);
  auto pool = std::make_shared<DecoderPool>(dir, tuning);
  if (loadNow) {
    ps_decoder_t* ps = pool->acquire();
    if (!ps) {
      error = loadFailedText(dir);
      return nullptr;
    }
    pool->release(ps);
  }
  return std::make_unique<PocketSphinxFactory>(std::move(pool));
}

bool speechListenerBuilt() {
  return true;
}

std::string defaultSpeechModelDir() {
  return "/usr/share/pocketsphinx/model/en-us";
}

std::unique_ptr<SpeechListenerFactory> makeSpeechListenerFactory(const std::string& modelDir,
                                                                 std::string& error) {
  // A quarter of a second and more: the window must not wait for it at start-up, so the
  // first listener, made on a worker thread, loads it.
  return makePocketSphinxFactory(modelDir, PocketSphinxTuning{}, error, false);
}

}  // namespace voxloom
