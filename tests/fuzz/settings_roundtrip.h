#pragma once

#include <string_view>

#include "core/settings/settings.h"

namespace voxloom::test {

// Whatever a settings file holds, what is saved from it reads back to the same file:
// no key is lost or changed by a second save.
inline bool settingsSurviveSaving(std::string_view text) {
  Settings first;
  first.loadText(text);
  const std::string saved = first.fileText();
  Settings second;
  second.loadText(saved);
  return second.fileText() == saved;
}

}  // namespace voxloom::test
