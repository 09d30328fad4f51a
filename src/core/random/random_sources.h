#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/ports/fractal_dialog.h"
#include "core/ports/http_client.h"
#include "core/ports/prompter.h"
#include "core/ports/service_url_dialog.h"
#include "core/random/device_source.h"
#include "core/random/fractal_form.h"
#include "core/random/internet_source.h"
#include "core/random/parallel_port_source.h"
#include "core/random/playback_control.h"
#include "core/random/pseudo_rng.h"
#include "core/random/random_batch.h"
#include "core/random/random_log.h"
#include "core/random/random_menu.h"
#include "core/random/random_source.h"
#include "core/random/random_source_kind.h"
#include "core/random/sound_card_source.h"
#include "core/random/source_health.h"
#include "core/random/stop_request.h"

namespace voxloom {

enum class SelectOutcome {
  Selected,      // the kind is current now
  Cancelled,     // a dialog was cancelled; the previous source stays
  NotAvailable,  // this build has no such source; the previous source stays
  Failed,        // the source's checks failed and said why
};

// The single entry point for random integers, and the state of the current source.
// Owned by the main window for the whole run; the stop request belongs to the engine.
class RandomSources {
 public:
  RandomSources(StopRequest& stop, Prompter& prompter, PlaybackControl& playback);
  ~RandomSources();
  RandomSources(const RandomSources&) = delete;
  RandomSources& operator=(const RandomSources&) = delete;

  RandomSourceKind randomKind = RandomSourceKind::PseudoRng;
  RandomBatch batch;
  std::string randomFilePath;
  std::string serviceUrl;
  long double growthRate = 3.8L;
  long double population = 0.5L;
  std::int32_t manualPosition = 0;  // TrackBarRandom, 0..2147483647
  std::int32_t randomFileLine = 0;  // line counter of the text random file
  std::int32_t previousTrendSample = 0;
  long double previousTrendValue = 0;
  PseudoRng pseudo;
  RandomLog log;
  SourceHealth health;
  RandomSourceMenu menu;
  std::string lastLogFolder;
  SoundCardSource soundCard;
  ParallelPortSource parallelPort;
  DeviceSource device;

  // Where the file dialog of the file source starts (the owner's settings).
  const bool* useSeparateFolders = nullptr;  // CheckBoxUseSeparateFolders
  std::string* lastRandomFileFolder = nullptr;

  // The playback's Stop, for sources that cannot deliver. Without a playback, the log is
  // closed and the sound input too, as Stop does.
  void stopPlayback();
  // Stop ends a draw that waits on a device at once: closes the sound input and ends a
  // parallel-port word or a device read in progress.
  void stopSourceWaits();

  // Fractal source: TFormFractal's state and the window that shows it (none: the
  // selection from the menu counts as cancelled).
  FractalForm fractalForm{growthRate, population, pseudo};
  FractalDialog* fractalDialog = nullptr;
  // Internet source: TFormInputString's state and window, the HTTP client, and the
  // main window's caption during a request.
  ServiceUrlForm urlForm;
  ServiceUrlDialog* urlDialog = nullptr;
  HttpClient* http = nullptr;
  std::function<void(bool fetching)> showFetching;
  // Manual sweep: CheckBoxMute of TFormManualRandom.
  bool manualMute = true;

  // One integer in 0..n-1 (n >= 1; a smaller n is treated as 1) from the current
  // source. 0 when the stop request is set before or during the draw; a source that
  // cannot deliver raises the stop request.
  std::int32_t drawRandom(std::int32_t n) { return drawRaw(n).mapped; }
  // The same draw with the raw value behind it (none when the draw failed or the stop
  // request was set before it).
  RawDraw drawRaw(std::int32_t n);
  // The current source as the draws see it: logged and health-tested.
  RandomSource& current();
  // A new run (Make EVP, a command-line draw): the health tests of the current source
  // start afresh.
  void startRun() { health.start(randomKind); }

  // Makes `kind` current and refreshes the captions and tool-window flags. A non-empty
  // filePath or url is remembered even when the kind cannot be selected, so a stored
  // setting survives. For the device kind, filePath is the device.
  SelectOutcome selectRandomSource(RandomSourceKind kind, const std::string& filePath,
                                   const std::string& url, bool interactive);

  // MenuExtrasProtRN: unchecks, or asks for a file and checks. logEnabled follows the mark.
  void toggleRandomLog(bool useSeparateFolders);

  StopRequest& stop() { return stop_; }
  Prompter& prompter() { return prompter_; }

 private:
  struct Chain;  // a source with its log and health decorators

  void refreshMenu();
  SelectOutcome selectFractal(bool interactive);
  SelectOutcome selectInternet();
  SelectOutcome selectInternetFromDialog();
  SelectOutcome selectRandomFile(const std::string& filePath);
  SelectOutcome selectParallelPort(bool interactive);
  SelectOutcome selectDevice(const std::string& path, bool interactive);

  StopRequest& stop_;
  Prompter& prompter_;
  PlaybackControl& playback_;
  // One per kind, and a last one for a kind forced past the enumeration.
  std::array<std::unique_ptr<Chain>, kRandomSourceKindCount + 1> chains_;
};

inline constexpr const char* kLogDialogTitle = "Log random numbers to file...";
inline constexpr const char* kRandomFileDialogTitle = "Open random source file...";
inline constexpr const char* kRandomFileFilter =
    "PCM Raw Data (*.pcm)|*.pcm|Text File (*.txt)|*.txt|All Files (*.*)|*.*";
inline constexpr const char* kTextFileFilter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*";

}  // namespace voxloom
