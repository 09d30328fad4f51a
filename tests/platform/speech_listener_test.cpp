// The PocketSphinx listener on real speech nobody here wrote (the LibriVox recordings of
// Debian's pocketsphinx-testdata), on noise, silence and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
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

// Loaded once for the program: every test here shares the model.
SpeechListenerFactory& sharedFactory() {
  static const std::unique_ptr<SpeechListenerFactory> factory = [] {
    std::string error;
    auto f = makeSpeechListenerFactory("", error);
    EXPECT_TRUE(f) << error;
    return f;
  }();
  return *factory;
}

ListenResult listen(PcmSource& sound, const ListenRequest& request = {}) {
  std::string error;
  const auto listener = sharedFactory().make(error);
  EXPECT_TRUE(listener) << error;
  return listener ? listener->listen(sound, request) : ListenResult{};
}

struct Sound {
  std::vector<std::int16_t> samples;
  std::uint32_t rate = 0;
  int channels = 1;
  MemoryPcmSource source() const { return MemoryPcmSource(samples, rate, channels); }
  double seconds() const { return static_cast<double>(samples.size()) / channels / rate; }
};

Sound readWav(const std::string& path) {
  std::string error;
  const auto source = WavStreamSource::open(path, error);
  EXPECT_TRUE(source) << error;
  Sound sound{{}, source->rate(), source->channels()};
  sound.samples.resize(static_cast<std::size_t>(source->totalFrames() * source->channels()));
  source->read(sound.samples.data(), static_cast<std::size_t>(source->totalFrames()));
  return sound;
}

// Linear interpolation to 44.1 kHz, the right channel a little softer than the left:
// what a sound editor's export of the recording would be.
Sound toCdStereo(const Sound& mono) {
  Sound out{{}, 44100, 2};
  const double step = static_cast<double>(mono.rate) / out.rate;
  const auto frames = static_cast<std::size_t>(mono.samples.size() / step);
  for (std::size_t i = 0; i < frames; ++i) {
    const double at = static_cast<double>(i) * step;
    const auto j = static_cast<std::size_t>(at);
    const double next = j + 1 < mono.samples.size() ? mono.samples[j + 1] : 0;
    const double v = mono.samples[j] + (next - mono.samples[j]) * (at - static_cast<double>(j));
    out.samples.push_back(static_cast<std::int16_t>(v));
    out.samples.push_back(static_cast<std::int16_t>(v * 0.8));
  }
  return out;
}

void expectWellFormed(const std::vector<HeardWord>& words, double seconds,
                      const std::string& what) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const HeardWord& w = words[i];
    EXPECT_FALSE(w.word.empty()) << what;
    EXPECT_EQ(w.word.find_first_of("<[(+ "), std::string::npos) << what << ": " << w.word;
    EXPECT_GE(w.start, 0.0) << what;
    EXPECT_LE(w.start, w.end) << what << ": " << w.word;
    EXPECT_LE(w.end, seconds) << what << ": " << w.word;
    EXPECT_GE(w.confidence, 0.0) << what;
    EXPECT_LE(w.confidence, 1.0) << what;
    if (i > 0) {
      EXPECT_GE(w.start, words[i - 1].start) << what << ": start times rise";
    }
  }
}

TEST(SpeechListener, HearsMostWordsOfTheLibriVoxRecordings) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_EQ(files.size(), 5u) << "pocketsphinx-testdata is not installed";
  struct Case {
    const char* name;
    Sound (*convert)(const Sound&);
  } cases[] = {
      {"as recorded (16 kHz mono)", [](const Sound& s) { return s; }},
      {"44.1 kHz stereo", toCdStereo},
  };
  for (const Case& c : cases) {
    std::size_t found = 0;
    std::size_t total = 0;
    for (const auto& file : files) {
      const Sound sound = c.convert(readWav(file.path));
      MemoryPcmSource source = sound.source();
      const ListenResult result = listen(source);
      EXPECT_EQ(result.error, "") << file.name;
      expectWellFormed(result.words, sound.seconds(), file.name);
      found += test::wordsFound(file.words, result.words);
      total += file.words.size();
    }
    const double recall = static_cast<double>(found) / static_cast<double>(total);
    std::printf("recall %s: %zu of %zu words, %.1f %%\n", c.name, found, total, 100 * recall);
    EXPECT_GE(recall, 0.6) << c.name;
  }
}

TEST(SpeechListener, NoiseRunsAndSilenceGivesNoWords) {
  SKIP_WITHOUT_LISTENER();
  std::mt19937 rng(11);
  std::normal_distribution<double> gauss(0.0, 6000.0);
  struct Case {
    const char* name;
    Sound sound;
    bool silent;
  } cases[] = {
      {"30 s of white noise", {std::vector<std::int16_t>(30 * 22050), 22050, 1}, false},
      {"10 s of silence", {std::vector<std::int16_t>(10 * 16000), 16000, 1}, true},
      {"0 frames", {{}, 44100, 2}, true},
  };
  for (auto& s : cases[0].sound.samples)
    s = static_cast<std::int16_t>(std::clamp(gauss(rng), -32768.0, 32767.0));
  for (const Case& c : cases) {
    MemoryPcmSource source = c.sound.source();
    const ListenResult result = listen(source);
    EXPECT_EQ(result.error, "") << c.name;
    expectWellFormed(result.words, c.sound.seconds(), c.name);
    if (c.silent)
      EXPECT_TRUE(result.words.empty()) << c.name << ": " << result.words[0].word;
    else {
      const double perMinute = static_cast<double>(result.words.size()) / c.sound.seconds() * 60;
      std::printf("%s: %.1f false words per minute\n", c.name, perMinute);
      RecordProperty("noise_false_words_per_minute", std::to_string(perMinute));
    }
  }
}

// An 8-bit file read through the streamed reader: a quarter of the bits, most words.
TEST(SpeechListener, HearsAnEightBitFile) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_FALSE(files.empty());
  const auto& file = files[3];
  const Sound sound = readWav(file.path);
  std::vector<std::uint8_t> data;
  for (const std::int16_t s : sound.samples)
    data.push_back(static_cast<std::uint8_t>((s >> 8) + 128));
  test::RiffBuilder b;
  b.code("RIFF").u32(0).code("WAVE").chunk("fmt ", test::RiffBuilder::fmtBody(1, 8, 16000));
  b.chunk("data", data).closeRiff();
  std::string error;
  auto source = WavStreamSource::fromStream(ByteStream::fromMemory(b.bytes), "8-bit", error);
  ASSERT_TRUE(source) << error;
  const ListenResult result = listen(*source);
  expectWellFormed(result.words, sound.seconds(), "8-bit");
  EXPECT_GE(test::wordsFound(file.words, result.words) * 2, file.words.size());
}

TEST(SpeechListener, MissingModelIsNamed) {
  SKIP_WITHOUT_LISTENER();
  const std::string empty = test::tempDir() + "/model";
  std::filesystem::create_directories(empty);
  struct Case {
    std::string dir;
    const char* says;
  } cases[] = {
      {"/nonexistent/voxloom-model", "was not found"},
      {empty, "has no 'en-us'"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(makeSpeechListenerFactory(c.dir, error));
    EXPECT_NE(error.find("'" + c.dir + "'"), std::string::npos) << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

// One listener spots keywords and afterwards hears every word again: the decoder it
// keeps between recordings must not stay in the keyword search.
TEST(SpeechListener, SpotsKeywordsThenHearsAllWordsAgain) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_EQ(files.size(), 5u);
  const Sound sound = readWav(files[3].path);  // "... a more amiable woman ... respectable ..."
  std::string error;
  const auto listener = sharedFactory().make(error);
  ASSERT_TRUE(listener) << error;
  struct Case {
    std::vector<std::string> keywords;
    std::size_t minWords;
    std::string error;
  } cases[] = {
      {{"amiable", "respectable"}, 2, ""},
      {{}, 10, ""},
      {{"amiable", "zorblaxian"}, 0, "'zorblaxian'"},
      {{}, 10, ""},
  };
  for (const Case& c : cases) {
    MemoryPcmSource source = sound.source();
    ListenRequest request;
    request.keywords = c.keywords;
    const ListenResult result = listener->listen(source, request);
    ASSERT_NE(result.error.find(c.error), std::string::npos) << result.error;
    EXPECT_GE(result.words.size(), c.minWords) << c.keywords.size() << " keywords";
    expectWellFormed(result.words, sound.seconds(), "keywords");
    for (const HeardWord& w : result.words) {
      if (!c.keywords.empty()) {
        EXPECT_NE(std::find(c.keywords.begin(), c.keywords.end(), w.word), c.keywords.end())
            << w.word;
      }
    }
  }
}

// Three recordings in one: cut into utterances, each word keeps its time in the whole.
TEST(SpeechListener, WordsOfLaterUtterancesKeepTheirTimes) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_EQ(files.size(), 5u);
  struct Part {
    std::size_t file;
    const char* word;  // said once in the part
  } parts[] = {{0, "dashwood"}, {3, "respectable"}, {2, "selfish"}};
  Sound all{{}, 16000, 1};
  std::vector<double> starts;
  for (const Part& p : parts) {
    starts.push_back(all.seconds());
    const Sound part = readWav(files[p.file].path);
    all.samples.insert(all.samples.end(), part.samples.begin(), part.samples.end());
  }
  starts.push_back(all.seconds());
  MemoryPcmSource source = all.source();
  const auto words = listen(source).words;
  expectWellFormed(words, all.seconds(), "three in one");
  for (std::size_t i = 0; i < std::size(parts); ++i) {
    const auto it = std::find_if(words.begin(), words.end(),
                                 [&](const HeardWord& w) { return w.word == parts[i].word; });
    ASSERT_NE(it, words.end()) << parts[i].word;
    EXPECT_GT(it->start, starts[i]) << parts[i].word;
    EXPECT_LT(it->end, starts[i + 1]) << parts[i].word;
  }
}

// Listeners on two threads at once hear what one alone hears, whichever decoder and
// whatever it heard before; a cancel stops one.
TEST(SpeechListener, ListenersOnThreadsAgreeAndCancel) {
  SKIP_WITHOUT_LISTENER();
  const auto files = test::libriVoxFiles();
  ASSERT_EQ(files.size(), 5u);
  const Sound sound = readWav(files[1].path);
  MemoryPcmSource alone = sound.source();
  const auto expected = listen(alone).words;
  std::vector<HeardWord> heard[2];
  std::thread threads[2];
  for (int i = 0; i < 2; ++i)
    threads[i] = std::thread([&, i] {
      MemoryPcmSource s = sound.source();
      heard[i] = listen(s).words;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(heard[0], expected);
  EXPECT_EQ(heard[1], expected);

  MemoryPcmSource source = sound.source();
  ListenRequest request;
  request.progress = [](double done) { return done < 0.3; };
  EXPECT_TRUE(listen(source, request).cancelled);
}

}  // namespace
}  // namespace voxloom
