// voxloom-cli listen: the words a machine hears in a recording, as JSON lines.
#include <algorithm>
#include <iostream>
#include <limits>

#include "cli/commands.h"
#include "core/labels/label_track.h"
#include "core/listen/heard_words.h"
#include "core/listen/wav_stream_source.h"
#include "core/listen/word_list.h"
#include "core/util/number_text.h"
#include "core/util/output_guard.h"
#include "core/util/replace_file.h"
#include "core/util/user_file.h"
#include "platform/speech/speech_listener_factory.h"

namespace voxloom::cli {

namespace {

int failure(const std::string& text) {
  std::cerr << "Error: " << text << '\n';
  return kExitFailed;
}

}  // namespace

int runListen(const std::vector<std::string>& args) {
  const char* usage =
      "voxloom-cli listen FILE.wav [--words LIST.txt] [--min-confidence P] [--labels OUT.txt] "
      "[--model DIR]";
  std::string in;
  std::string wordsPath;
  std::string labels;
  std::string model;
  double minConfidence = 0.0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--words" || a == "--labels" || a == "--model" || a == "--min-confidence") {
      if (i + 1 >= args.size()) return usageError(a + " needs a value", usage);
      const std::string& value = args[++i];
      if (a == "--min-confidence") {
        const auto p = parseDecimal<double>(value);
        if (!p || !(*p >= 0.0 && *p <= 1.0))
          return usageError("--min-confidence takes a number from 0 to 1", usage);
        minConfidence = *p;
      } else {
        (a == "--words" ? wordsPath : a == "--labels" ? labels : model) = value;
      }
    } else if (!a.empty() && a[0] == '-') {
      return usageError("unknown option '" + a + "'", usage);
    } else if (in.empty()) {
      in = a;
    } else {
      return usageError("listen takes one WAV file", usage);
    }
  }
  if (in.empty()) return usageError("listen needs a WAV file", usage);
  OutputGuard files;
  files.input("input", in);
  files.input("word list", wordsPath);
  files.output("label file", labels);
  if (const auto clash = files.check()) return usageError(clash->text(), usage);
  if (!speechListenerBuilt()) {
    std::cerr << "voxloom-cli: " << kListenerNotBuiltText << '\n';
    return kExitUsage;
  }

  ListenRequest request;
  request.minConfidence = minConfidence;
  if (!wordsPath.empty()) {
    const WholeFile list = readUserFile(wordsPath, kMaxWordListBytes, "word list");
    if (list.status != WholeFileStatus::Read)
      return failure(list.refusal.empty() ? "Can't open word list '" + wordsPath + "'."
                                          : list.refusal);
    request.keywords = parseWordList(list.text);
    if (request.keywords.empty()) return failure("The word list '" + wordsPath + "' is empty.");
  }
  std::string error;
  std::unique_ptr<WavStreamSource> sound = WavStreamSource::open(in, error);
  if (!sound) return failure(error);
  const std::unique_ptr<SpeechListenerFactory> factory = makeSpeechListenerFactory(model, error);
  if (!factory) return failure(error);
  const std::unique_ptr<SpeechListener> listener = factory->make(error);
  if (!listener) return failure(error);
  const ListenResult result = listener->listen(*sound, request);
  if (!result.error.empty()) return failure(result.error);

  for (const HeardWord& word : result.words) std::cout << heardWordJson(word) << '\n';
  std::cout.flush();
  if (!labels.empty()) {
    const auto rate = static_cast<Rate>(sound->rate());
    const auto frames = static_cast<Frames>(
        std::min<std::int64_t>(sound->totalFrames(), std::numeric_limits<Frames>::max()));
    const std::string track = writeLabelTrack(heardWordsAsCues(result.words, rate, frames), rate);
    if (!writeFileAtomically(labels, track))
      return failure("Can't write the label file '" + labels + "'.");
  }
  return std::cout ? kExitOk : kExitFailed;
}

}  // namespace voxloom::cli
