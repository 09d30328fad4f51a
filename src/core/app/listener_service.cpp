#include "core/app/listener_service.h"

#include <cstdio>
#include <random>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"
#include "core/listen/sample_snapshot.h"
#include "core/listen/word_list.h"
#include "core/util/user_file.h"

namespace voxloom {

struct ListenerService::Job {
  std::shared_ptr<const SampleSnapshot> samples;
  ListenRequest request;
  std::atomic<bool> cancelled{false};
  std::atomic<int> percent{0};
  bool onRecord = false;
  std::int32_t recordIndex = 0;
  std::string recordDate;
};

namespace {

std::string wordsText(std::size_t n) {
  return std::to_string(n) + (n == 1 ? " word" : " words");
}

}  // namespace

ListenerService::ListenerService(Prompter& prompter, DocumentService& document,
                                 SessionController& sessions, CommandStates& states,
                                 ViewRelay& relay)
    : prompter_(prompter),
      document_(document),
      sessions_(sessions),
      states_(states),
      relay_(relay) {
  states.watch(document.signalView.heardWords);
}

ListenerService::~ListenerService() {
  *self_ = nullptr;
  if (job_) job_->cancelled = true;
  if (worker_.joinable()) worker_.join();
}

void ListenerService::setFactory(std::unique_ptr<SpeechListenerFactory> factory,
                                 std::string whyNone) {
  // The listener made from the old model goes with it, once no worker uses it.
  cancel();
  if (worker_.joinable()) worker_.join();
  listener_.reset();
  factory_ = std::move(factory);
  whyNone_ = factory_ ? std::string() : std::move(whyNone);
  states_.listenerReady = available();
}

void ListenerService::bindSettings(Settings& s) {
  s.bindText("ListenWordList", choices.wordListPath);
  s.bindInt("ListenMinConfidence", choices.minConfidencePercent, 0, 100);
  s.bindBool("ListenOnRecord", choices.onRecord);
}

std::string ListenerService::statusText() const {
  if (job_) return "Listening... " + std::to_string(job_->percent.load()) + " %";
  return outcome_;
}

void ListenerService::command() {
  if (running()) {
    cancel();
    return;
  }
  if (!available()) {
    prompter_.error(whyNone_.empty() ? std::string(kListenerNotBuiltText) : whyNone_);
    return;
  }
  const Session& session = sessions_.session;
  const std::string recordText =
      session.count() > 0 ? "EVP " + sessions_.panel.sequence : std::string();
  ListenChoices chosen = choices;
  if (recordText.empty()) chosen.onRecord = false;
  if (dialog != nullptr && !dialog->ask(chosen, recordText)) return;
  choices = chosen;
  start(chosen);
}

bool ListenerService::snapshotRecord(Job& job) {
  const EvpRecord* record = sessions_.session.current();
  if (record == nullptr) return false;
  job.recordIndex = sessions_.session.currentIndex;
  job.recordDate = record->dateTime;
  // The EVP is rendered as export renders it, then read back.
  std::random_device random;
  const std::string path =
      sessions_.scratchFolder() + "listen-" + std::to_string(random()) + ".wav";
  if (sessions_.writeEvpWavFile(path) != 0) return false;
  AudioDocument evp;
  std::string refusal;
  bool loaded = false;
  if (auto stream = ByteStream::openFile(path, &refusal))
    loaded = loadWav(*stream, evp, path).status == WavLoadStatus::Loaded;
  std::remove(path.c_str());
  if (!loaded) {
    prompter_.error("Can't read the EVP back from '" + path + "'.");
    return false;
  }
  job.samples = std::make_shared<SampleSnapshot>(snapshotOf(evp));
  return true;
}

bool ListenerService::start(const ListenChoices& chosen) {
  if (running() || !available()) return false;
  if (!states_.enabled(Command::Listen)) return false;
  auto job = std::make_shared<Job>();
  job->request.minConfidence = chosen.minConfidencePercent / 100.0;
  if (!chosen.wordListPath.empty()) {
    // Through the user-file rules: a FIFO or a huge file must not stall the window.
    const WholeFile list = readUserFile(chosen.wordListPath, kMaxWordListBytes, "word list");
    if (list.status != WholeFileStatus::Read) {
      prompter_.error(list.refusal.empty()
                          ? "Can't read the word list '" + chosen.wordListPath + "'."
                          : list.refusal);
      return false;
    }
    job->request.keywords = parseWordList(list.text);
  }
  job->onRecord = chosen.onRecord && sessions_.session.count() > 0;
  if (job->onRecord) {
    if (!snapshotRecord(*job)) return false;
  } else {
    job->samples = std::make_shared<SampleSnapshot>(snapshotOf(document_.document));
  }

  if (worker_.joinable()) worker_.join();  // the last one has posted its end already
  job_ = job;
  outcome_.clear();
  setListening(true);
  std::weak_ptr<ListenerService*> self = self_;
  EventLoop* loop = loop_;
  Job* raw = job.get();
  job->request.progress = [raw, loop, self](double part) {
    const int percent = static_cast<int>(part * 100);
    if (percent != raw->percent.exchange(percent)) {
      loop->post([self] {
        if (auto s = self.lock(); s && *s && (*s)->onProgress) (*s)->onProgress();
      });
    }
    return !raw->cancelled.load();
  };
  worker_ = std::thread([this, job, loop, self] {
    ListenResult result;
    if (!listener_) {
      std::string error;
      listener_ = factory_->make(error);
      if (!listener_) result.error = error.empty() ? "The listener could not be made." : error;
    }
    if (listener_) {
      SnapshotPcmSource pcm(job->samples);
      result = listener_->listen(pcm, job->request);
    }
    if (job->cancelled) result.cancelled = true;
    loop->post([self, job, result = std::move(result)]() mutable {
      if (auto s = self.lock(); s && *s) (*s)->finish(job, std::move(result));
    });
  });
  return true;
}

void ListenerService::cancel() {
  if (job_) job_->cancelled = true;
}

void ListenerService::setListening(bool listening) {
  states_.listening = listening;
  states_.set(states_.state());
  if (onProgress) onProgress();
}

void ListenerService::finish(const std::shared_ptr<Job>& job, ListenResult result) {
  if (job != job_) return;
  job_.reset();
  if (worker_.joinable()) worker_.join();
  if (!result.error.empty()) {
    outcome_ = "Machine listener failed.";
    prompter_.error(result.error);
  } else if (result.cancelled) {
    outcome_ = "Machine listener cancelled.";
  } else if (job->onRecord) {
    const std::size_t n = result.words.size();
    outcome_ = sessions_.keepHeardWords(job->recordIndex, job->recordDate, std::move(result.words))
                   ? "Heard " + wordsText(n) + " in the EVP."
                   : "The EVP is no longer in the session: its words were dropped.";
  } else if (sameSamples(*job->samples, document_.document)) {
    outcome_ = "Heard " + wordsText(result.words.size()) + ".";
    document_.signalView.heardWords = std::move(result.words);
    relay_.notify(ViewAspect::Document);
  } else {
    // The words belong to samples the document no longer holds.
    outcome_ = "The signal changed while the listener ran: its words were dropped.";
  }
  setListening(false);
}

}  // namespace voxloom
