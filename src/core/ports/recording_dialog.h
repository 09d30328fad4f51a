#pragma once

#include "core/audio/recording_params.h"

namespace voxloom {

// TFormRecParam shown modally. The dialog's controls are the settings, so the state is
// written back however it is closed; true only for "&Start".
class RecParamDialog {
 public:
  virtual ~RecParamDialog() = default;
  virtual bool askRecParam(RecParamState& state) = 0;
};

}  // namespace voxloom
