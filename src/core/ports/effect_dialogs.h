#pragma once

#include "core/audio/auto_cut_options.h"
#include "core/ports/echo_dialog.h"

namespace voxloom {

// The two modal forms of the effects: TFormEcho and TFormAutoCut. Each shows the state
// it is given, lets the user change it and returns true when closed with OK; only then
// is the changed state written back.
class EffectDialogs {
 public:
  virtual ~EffectDialogs() = default;
  virtual bool askEcho(EchoDialogState& state) = 0;
  virtual bool askAutoCut(AutoCutOptions& options) = 0;
};

}  // namespace voxloom
