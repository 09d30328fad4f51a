#pragma once

#include "core/ports/prompter.h"
#include "core/util/output_guard.h"

namespace voxloom {

// The window's refusal: shows the first clash in an error box. True when there was one,
// and then nothing may be written.
bool refuseClash(const OutputGuard& guard, Prompter& prompter);

}  // namespace voxloom
