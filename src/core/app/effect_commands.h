#pragma once

#include <functional>

#include "core/audio/audio_document.h"
#include "core/audio/auto_cut_options.h"
#include "core/effects/echo.h"
#include "core/effects/effect_result.h"
#include "core/ports/echo_dialog.h"
#include "core/ports/effect_dialogs.h"
#include "core/ports/prompter.h"

namespace voxloom {

// What the effects keep for the whole run: the stored echo parameters (settings section
// "EFFECTS"), the echo dialog's controls and the auto-cut dialog's controls (section
// "AUTOCUT").
struct EffectState {
  EchoSettings echo;
  EchoDialogState echoDialog;
  AutoCutOptions autoCut;
};

// Everything an Extras command needs from the main window.
struct EffectCommandContext {
  AudioDocument& document;
  Prompter& prompter;
  EffectDialogs* dialogs;  // none: a dialog counts as cancelled
  EffectState& state;
  bool enabled;                   // the command's enabled state; a disabled command does nothing
  std::function<void()> changed;  // after a change: refresh the window, enter idle
};

// The Extras menu commands as the main window runs them: the dialog where there is
// one, the busy cursor while the effect runs, and the refresh when the document
// changed (which enables Save).
EffectResult runReverseCommand(EffectCommandContext& context);
EffectResult runEchoCommand(EffectCommandContext& context);
EffectResult runNormalizeCommand(EffectCommandContext& context);
EffectResult runAutoCutCommand(EffectCommandContext& context);

}  // namespace voxloom
