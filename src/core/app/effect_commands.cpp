#include "core/app/effect_commands.h"

#include "core/effects/auto_cut.h"
#include "core/effects/normalize.h"
#include "core/effects/reverse.h"

namespace voxloom {
namespace {

bool canRun(const EffectCommandContext& context) {
  return context.enabled && context.document.isLoaded;
}

// The effect runs under the busy cursor; the window is refreshed once it has ended.
template <class Effect>
EffectResult runBusy(EffectCommandContext& context, Effect&& effect) {
  EffectResult result;
  {
    BusyGuard busy(context.prompter);
    result = effect();
  }
  if (result.modified && context.changed) context.changed();
  return result;
}

}  // namespace

EffectResult runReverseCommand(EffectCommandContext& context) {
  if (!canRun(context)) return {};
  return runBusy(context, [&] { return reverseSignal(context.document); });
}

EffectResult runEchoCommand(EffectCommandContext& context) {
  if (!canRun(context) || context.dialogs == nullptr) return {};
  EchoDialogState& dialog = context.state.echoDialog;
  dialog.showFor(context.state.echo);
  if (!context.dialogs->askEcho(dialog)) return {};
  context.state.echo = dialog.accepted();
  const EchoSettings echo = context.state.echo;
  return runBusy(context,
                 [&] { return addEcho(context.document, echo.delayMs, echo.decayPercent); });
}

EffectResult runNormalizeCommand(EffectCommandContext& context) {
  if (!canRun(context)) return {};
  return runBusy(context, [&] { return normalizeSignal(context.document); });
}

EffectResult runAutoCutCommand(EffectCommandContext& context) {
  if (!canRun(context) || context.dialogs == nullptr) return {};
  AutoCutOptions options = context.state.autoCut;
  if (!context.dialogs->askAutoCut(options)) return {};
  context.state.autoCut = options;
  // The automatic threshold is written back into the options, so the dialog shows it.
  return runBusy(context, [&] { return autoCut(context.document, context.state.autoCut); });
}

}  // namespace voxloom
