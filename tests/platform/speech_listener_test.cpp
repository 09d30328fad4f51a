// The PocketSphinx listener on real speech nobody here wrote (the LibriVox recordings of
// Debian's pocketsphinx-testdata), on noise and silence, and across decoder reuse.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "core/listen/wav_stream_source.h"
#include "platform/speech/speech_listener_factory.h"
#include "tests/support/fake_speech_listener.h"
#include "tests/support/librivox.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

using test::MemoryPcmSource;

#define SKIP_WITHOUT_LISTENER() \
  if (!VOXLOOM_LISTENER_BUILT) GTEST_SKIP() << kListenerNotBuiltText

struct Sound {
  std::vector<std::int16_t> samples;
  std::uint32_t rate = 16000;
  int channels = 1;
  MemoryPcmSource source() const { return MemoryPcmSource(samples, rate, channels); }
  double seconds() const { return static_cast<double>(samples.size()) / channels / rate; }
};

// Every test shares one model, loaded once.
ListenResult listen(const Sound& sound, const ListenRequest& request = {}) {
  static const auto factory = [] {
    std::string error;
    auto f = makeSpeechListenerFactory("", error);
    EXPECT_TRUE(f) << error;
    return f;
  }();
  std::string error;
  const auto listener = factory->make(error);
  MemoryPcmSource source = sound.source();
  return listener ? listener->listen(source, request) : ListenResult{{}, false, error};
}

Sound readWav(const std::string& path) {
  std::string error;
  const auto source = WavStreamSource::open(path, error);
  EXPECT_TRUE(source) << error;
  if (!source) return {};
  Sound sound{std::vector<std::int16_t>(static_cast<std::size_t>(source->totalFrames()))};
  source->read(sound.samples.data(), sound.samples.size());
  return sound;
}

void expectWellFormed(const ListenResult& result, double seconds, const std::string& what) {
  EXPECT_EQ(result.error, "") << what;
  for (std::size_t i = 0; i < result.words.size(); ++i) {
    const HeardWord& w = result.words[i];
    EXPECT_EQ(w.word.find_first_of("<[(+ "), std::string::npos) << what << ": " << w.word;
    EXPECT_TRUE(0 <= w.start && w.start <= w.end && w.end <= seconds) << what << ": " << w.word;
    EXPECT_TRUE(0 <= w.confidence && w.confidence <= 1) << what << ": " << w.word;
    EXPECT_GE(w.start, i ? result.words[i - 1].start : 0.0) << what << ": start times rise";
  }
}

TEST(SpeechListener, HearsMostWordsOfTheLibriVoxRecordings) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_EQ(files.size(), 5u) << "pocketsphinx-testdata is not installed";
  const auto cdStereo = [](const Sound& in) {
    // Linear interpolation to 44.1 kHz, the right channel softer than the left.
    Sound out{{}, 44100, 2};
    for (std::size_t i = 0;; ++i) {
      const double at = static_cast<double>(i) * in.rate / out.rate;
      const auto j = static_cast<std::size_t>(at);
      if (j + 1 >= in.samples.size()) break;
      const double v = in.samples[j] + (in.samples[j + 1] - in.samples[j]) * (at - j);
      out.samples.insert(out.samples.end(),
                         {static_cast<std::int16_t>(v), static_cast<std::int16_t>(v * 0.8)});
    }
    return out;
  };
  const auto eightBit = [](Sound s) {
    for (auto& x : s.samples) x = static_cast<std::int16_t>(x & ~0xFF);
    return s;
  };
  struct Case {
    const char* name;
    std::function<Sound(const Sound&)> convert;
  } cases[] = {{"16 kHz mono", [](const Sound& s) { return s; }},
               {"44.1 kHz stereo", cdStereo},
               {"8 bits", eightBit}};
  for (const Case& c : cases) {
    std::size_t found = 0, total = 0;
    for (const auto& file : files) {
      const Sound sound = c.convert(readWav(file.path));
      const ListenResult result = listen(sound);
      expectWellFormed(result, sound.seconds(), file.name + ", " + c.name);
      found += test::wordsFound(file.words, result.words);
      total += file.words.size();
    }
    std::printf("recall %s: %zu of %zu words\n", c.name, found, total);
    EXPECT_GE(found * 10, total * 6) << c.name;
  }
}

TEST(SpeechListener, NoiseRunsAndSilenceGivesNoWords) {
  SKIP_WITHOUT_LISTENER();
  Sound noise{std::vector<std::int16_t>(30 * 22050), 22050};
  std::mt19937 rng(11);
  std::normal_distribution<double> gauss(0.0, 6000.0);
  for (auto& s : noise.samples)
    s = static_cast<std::int16_t>(std::clamp(gauss(rng), -32768.0, 32767.0));
  const ListenResult heard = listen(noise);
  expectWellFormed(heard, noise.seconds(), "noise");
  const double perMinute = static_cast<double>(heard.words.size()) * 2;
  std::printf("30 s of white noise: %.1f false words per minute\n", perMinute);
  RecordProperty("noise_false_words_per_minute", std::to_string(perMinute));

  for (const Sound& quiet : {Sound{std::vector<std::int16_t>(16000)}, Sound{{}, 44100, 2}}) {
    const ListenResult result = listen(quiet);
    EXPECT_EQ(result.error, "");
    EXPECT_TRUE(result.words.empty()) << quiet.seconds() << " s: " << result.words[0].word;
  }
}

// An hour of 44.1 kHz stereo silence (a sparse file, no disk) streams from file to
// recogniser: neither it nor a 16 kHz copy (635 and 115 MB) is ever held.
TEST(SpeechListener, AnHourIsStreamed) {
  SKIP_WITHOUT_LISTENER();
  const std::uint32_t dataBytes = 3600u * 44100u * 4u;
  test::RiffBuilder header;
  header.code("RIFF").u32(dataBytes + 36).code("WAVE");
  header.chunk("fmt ", test::RiffBuilder::fmtBody(2, 16, 44100))
      .chunkWithSize("data", dataBytes, {});
  const std::string path = test::writeTempFile("hour.wav", header.bytes);
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(header.bytes.size()) + dataBytes), 0);
  std::string error;
  const auto hour = WavStreamSource::open(path, error);
  ASSERT_TRUE(hour) << error;
  const auto listener = makeSpeechListenerFactory("", error)->make(error);
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  const ListenResult result = listener->listen(*hour, {});
  getrusage(RUSAGE_SELF, &after);
  EXPECT_EQ(result.error, "");
  EXPECT_TRUE(result.words.empty());
  // AddressSanitizer keeps up to 256 MB of freed blocks from reuse; still far below the
  // hour itself.
#if defined(__SANITIZE_ADDRESS__)
  constexpr long kAllowedKb = (64 + 256) * 1024;
#else
  constexpr long kAllowedKb = 64 * 1024;
#endif
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, kAllowedKb) << "kB more at the peak";
  std::remove(path.c_str());
}

// Three recordings in one: cut into utterances, each word keeps its time in the whole.
TEST(SpeechListener, WordsOfLaterUtterancesKeepTheirTimes) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_EQ(files.size(), 5u);
  const std::pair<std::size_t, const char*> parts[] = {
      {0, "dashwood"}, {3, "respectable"}, {2, "selfish"}};  // said once in each
  Sound all;
  std::vector<double> starts;
  for (const auto& [file, word] : parts) {
    starts.push_back(all.seconds());
    const Sound part = readWav(files[file].path);
    all.samples.insert(all.samples.end(), part.samples.begin(), part.samples.end());
  }
  starts.push_back(all.seconds());
  const ListenResult result = listen(all);
  expectWellFormed(result, all.seconds(), "three in one");
  for (std::size_t i = 0; i < std::size(parts); ++i) {
    const auto it = std::find_if(result.words.begin(), result.words.end(),
                                 [&](const HeardWord& w) { return w.word == parts[i].second; });
    ASSERT_NE(it, result.words.end()) << parts[i].second;
    EXPECT_TRUE(starts[i] < it->start && it->end < starts[i + 1]) << parts[i].second;
  }
}

// The same sound gives the same words whichever decoder serves it and whatever that
// decoder heard before (other sound, a keyword search), also on two threads at once.
TEST(SpeechListener, WordsDoNotDependOnTheDecodersPast) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_EQ(files.size(), 5u);
  const Sound sound = readWav(files[1].path);
  const auto expected = listen(sound).words;
  ASSERT_FALSE(expected.empty());
  ListenRequest spotting;
  spotting.keywords = {"young man"};
  const ListenResult spotted = listen(sound, spotting);
  ASSERT_EQ(spotted.words.size(), 1u);
  EXPECT_EQ(spotted.words[0].word, "young man");
  EXPECT_EQ(listen(readWav(files[0].path)).error, "");
  // Through the resampler too, whose 16-bit output must not be dithered at random.
  Sound resampled = sound;
  resampled.rate = 22050;
  const auto first = listen(resampled).words;
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(listen(resampled).words, first);

  std::vector<HeardWord> heard[2];
  std::thread threads[2];
  for (int i = 0; i < 2; ++i) threads[i] = std::thread([&, i] { heard[i] = listen(sound).words; });
  for (auto& t : threads) t.join();
  EXPECT_EQ(heard[0], expected);
  EXPECT_EQ(heard[1], expected);

  ListenRequest cancel;
  cancel.progress = [](double done) { return done < 0.3; };
  EXPECT_TRUE(listen(sound, cancel).cancelled);
}

}  // namespace
}  // namespace voxloom
