#include "core/ports/refuse_clash.h"

#include <string>

namespace voxloom {

bool refuseClash(const OutputGuard& guard, Prompter& prompter) {
  const auto clash = guard.check();
  if (!clash) return false;
  std::string text = clash->text();
  text[0] = static_cast<char>(text[0] - 'a' + 'A');  // "the ..."
  prompter.error(text + ".");
  return true;
}

}  // namespace voxloom
