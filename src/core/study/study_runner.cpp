#include "core/study/study_runner.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace voxloom {

namespace {

class MemorySound final : public PcmSource {
 public:
  explicit MemorySound(const RunSound& sound) : sound_(sound) {}
  std::uint32_t rate() const override { return sound_.rate; }
  int channels() const override { return sound_.channels; }
  std::int64_t totalFrames() const override {
    return static_cast<std::int64_t>(sound_.samples.size()) / sound_.channels;
  }
  std::size_t read(std::int16_t* out, std::size_t frames) override {
    const auto channels = static_cast<std::size_t>(sound_.channels);
    const std::size_t left = (sound_.samples.size() - at_) / channels;
    const std::size_t n = std::min(frames, left);
    std::copy_n(sound_.samples.begin() + static_cast<std::ptrdiff_t>(at_), n * channels, out);
    at_ += n * channels;
    return n;
  }

 private:
  const RunSound& sound_;
  std::size_t at_ = 0;
};

struct Job {
  std::size_t slot = 0;
  RunSound sound;
};

std::string runName(const RunRecord& r) {
  return "Run " + std::to_string(r.run) + " (" + studyArmName(r.arm) + ")";
}

}  // namespace

void reverseEachBlock(std::span<std::int16_t> samples, int channels,
                      std::span<const std::int64_t> blockFrames) {
  const auto width = static_cast<std::size_t>(std::max(channels, 1));
  const std::size_t frameCount = samples.size() / width;
  std::size_t at = 0;
  for (const std::int64_t length : blockFrames) {
    const std::size_t end =
        std::min(frameCount, at + static_cast<std::size_t>(std::max<std::int64_t>(length, 0)));
    // Frames swap whole, so the channels stay where they were.
    for (std::size_t a = at, b = end; a + 1 < b; ++a, --b)
      std::swap_ranges(samples.begin() + static_cast<std::ptrdiff_t>(a * width),
                       samples.begin() + static_cast<std::ptrdiff_t>((a + 1) * width),
                       samples.begin() + static_cast<std::ptrdiff_t>((b - 1) * width));
    at = end;
  }
}

StudyRunResult runStudy(const StudyPlan& plan, const RenderRun& render,
                        SpeechListenerFactory& factory, int jobs, const ListenRequest& request) {
  StudyRunResult result;
  for (const int run : plan.shardRuns()) {
    for (const StudyArm arm : {StudyArm::Evp, StudyArm::Control}) {
      RunRecord record;
      record.run = run;
      record.arm = arm;
      record.seed = plan.seedOf(run, arm);
      result.records.push_back(record);
    }
  }
  const std::size_t threads =
      std::clamp<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), 1,
                              std::max<std::size_t>(result.records.size(), 1));

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Job> queue;
  bool rendered = false;  // no more jobs will come
  std::string error;      // the first failure; stops everything
  // Two sounds waiting per thread keep the listeners busy without holding the whole
  // study in memory.
  const std::size_t queueLimit = 2 * threads;

  const auto fail = [&](std::string text) {
    std::lock_guard lock(mutex);
    if (error.empty()) error = std::move(text);
    changed.notify_all();
  };

  const auto listenLoop = [&] {
    std::string makeError;
    std::unique_ptr<SpeechListener> listener = factory.make(makeError);
    if (!listener) {
      fail(makeError.empty() ? "The machine listener could not be made." : makeError);
      return;
    }
    for (;;) {
      std::optional<Job> job;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return !queue.empty() || rendered || !error.empty(); });
        if (!error.empty() || queue.empty()) return;
        job = std::move(queue.front());
        queue.pop_front();
        changed.notify_all();
      }
      RunRecord& record = result.records[job->slot];
      MemorySound sound(job->sound);
      ListenRequest ask = request;
      ask.progress = [&](double) {
        std::lock_guard lock(mutex);
        return error.empty();
      };
      ListenResult heard = listener->listen(sound, ask);
      if (!heard.error.empty()) return fail(runName(record) + ": " + heard.error);
      if (heard.cancelled) return;  // only another run's failure cancels
      record.frames = sound.totalFrames();
      record.rate = job->sound.rate;
      record.words = std::move(heard.words);
    }
  };

  std::vector<std::thread> workers;
  workers.reserve(threads);
  for (std::size_t i = 0; i < threads; ++i) workers.emplace_back(listenLoop);

  for (std::size_t slot = 0; slot < result.records.size(); ++slot) {
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return queue.size() < queueLimit || !error.empty(); });
      if (!error.empty()) break;
    }
    const RunRecord& record = result.records[slot];
    RunSound sound = render(record.arm, record.run, record.seed);
    if (!sound.error.empty() || sound.rate == 0 || sound.channels < 1) {
      fail(runName(record) + ": " +
           (sound.error.empty() ? std::string("no sound was made.") : sound.error));
      break;
    }
    std::lock_guard lock(mutex);
    queue.push_back({slot, std::move(sound)});
    changed.notify_all();
  }
  {
    std::lock_guard lock(mutex);
    rendered = true;
    changed.notify_all();
  }
  for (std::thread& t : workers) t.join();
  result.error = error;
  return result;
}

}  // namespace voxloom
