#pragma once

#include "core/app/main_presenter.h"
#include "gui/form_main.h"
#include "tests/support/scripted_questions.h"

namespace voxloom::test {

struct WindowCoreHolder {
  WindowCoreHolder(Prompter& prompter, Shell& shell) : core(prompter, shell, questions) {}
  ScriptedQuestions questions;
  WindowCore core;
};

// The main window with the services and the presenter it shows, built before it and
// ended after it, as the program's main() does.
class MainWindow : private WindowCoreHolder, public TFormMain {
 public:
  MainWindow(Prompter& prompter, Shell& shell, QWidget* parent = nullptr)
      : WindowCoreHolder(prompter, shell), TFormMain(core.presenter, parent) {}

  // What a capture is answered with (the real prompt is not shown in these tests).
  ScriptedQuestions& questions() { return WindowCoreHolder::questions; }
};

}  // namespace voxloom::test
