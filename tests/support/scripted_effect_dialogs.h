#pragma once

#include <deque>
#include <functional>

#include "core/ports/effect_dialogs.h"

namespace voxloom::test {

// EffectDialogs that act like a user: each answer may change the shown state, then
// closes with OK (true) or Cancel (false). Without a scripted answer a dialog is
// cancelled. What each dialog was shown with is recorded.
class ScriptedEffectDialogs : public EffectDialogs {
 public:
  struct EchoAnswer {
    bool ok = true;
    std::function<void(EchoDialogState&)> edit;
  };
  struct AutoCutAnswer {
    bool ok = true;
    std::function<void(AutoCutOptions&)> edit;
  };

  std::deque<EchoAnswer> echoAnswers;
  std::deque<AutoCutAnswer> autoCutAnswers;
  std::vector<EchoDialogState> echoShown;
  std::vector<AutoCutOptions> autoCutShown;

  bool askEcho(EchoDialogState& state) override {
    echoShown.push_back(state);
    if (echoAnswers.empty()) return false;
    EchoAnswer answer = echoAnswers.front();
    echoAnswers.pop_front();
    EchoDialogState edited = state;
    if (answer.edit) answer.edit(edited);
    if (answer.ok) state = edited;  // Cancel writes nothing back
    return answer.ok;
  }

  bool askAutoCut(AutoCutOptions& options) override {
    autoCutShown.push_back(options);
    if (autoCutAnswers.empty()) return false;
    AutoCutAnswer answer = autoCutAnswers.front();
    autoCutAnswers.pop_front();
    AutoCutOptions edited = options;
    if (answer.edit) answer.edit(edited);
    if (answer.ok) options = edited;
    return answer.ok;
  }
};

}  // namespace voxloom::test
