#pragma once

#include <string>

#include "core/app/command_states.h"
#include "core/app/effect_commands.h"
#include "core/app/view_relay.h"
#include "core/audio/audio_document.h"
#include "core/ports/prompter.h"
#include "core/settings/settings.h"
#include "core/util/output_guard.h"
#include "core/view/signal_view.h"

namespace voxloom {

inline constexpr const char* kWavFilter = "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*";

// Folders and files the dialogs start from, kept between runs.
struct RememberedFolders {
  std::string sourceWav;
  std::string session;
  std::string randomFile;
  std::string lastWavFile;
  bool useSeparate = false;          // CheckBoxUseSeparateFolders
  bool autoOpenLastWavFile = false;  // CheckBoxAutoOpenLastWavFile
};

// The open WAV file: open, save, discard, the Extras effects, the label track and the
// folders the file dialogs remember.
class DocumentService {
 public:
  DocumentService(Prompter& prompter, CommandStates& states, ViewRelay& relay);
  DocumentService(const DocumentService&) = delete;
  DocumentService& operator=(const DocumentService&) = delete;

  void bindSettings(Settings& settings);
  void setEffectDialogs(EffectDialogs* dialogs) { effectDialogs_ = dialogs; }

  AudioDocument document;
  RememberedFolders folders;
  EffectState effects;  // echo parameters, the echo and auto-cut dialogs
  // The waveform view's state (after the document: its worker stops first).
  SignalView signalView;

  // Loads a WAV file into the document, whatever it held; 0 when it loaded.
  int load(const std::string& path);
  // Writes the document as a WAV file; 0 on success, 1 after the message.
  int write(const std::string& path);
  // Yes, No or Cancel when the document is modified, Ok otherwise; changes nothing.
  Answer askToSave();
  // Save: asks first if so told, then for the file name. `files` holds what the program
  // still reads, which the document must not replace. 0: saved or nothing to save.
  int save(bool askFirst, OutputGuard files);
  // Forgets the document without asking.
  void discard();

  // The Extras menu's effects; each does nothing while disabled.
  EffectResult reverseSignal();
  EffectResult addEcho();
  EffectResult normalizeSignal();
  EffectResult autoCut();

  // File menu: the cues as a label track and back; only when idle with a loaded file.
  bool labelsAvailable() const;
  int importLabels();
  int exportLabels();
  // The words the machine listener heard become region cues beside the present ones;
  // the lane that showed them empties. 0 when cues were added.
  int addHeardWordsAsCues();

 private:
  EffectCommandContext effectContext(Command command);
  // An effect that changes the samples: the waveform's summary is made again after it.
  EffectResult editSignal(Command command, EffectResult (*run)(EffectCommandContext&));
  void changed();

  Prompter& prompter_;
  CommandStates& states_;
  ViewRelay& relay_;
  EffectDialogs* effectDialogs_ = nullptr;
};

}  // namespace voxloom
