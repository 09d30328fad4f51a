#pragma once

#include "core/app/main_presenter.h"
#include "gui/form_main.h"

namespace voxloom::test {

struct WindowCoreHolder {
  WindowCoreHolder(Prompter& prompter, Shell& shell) : core(prompter, shell) {}
  WindowCore core;
};

// The main window with the services and the presenter it shows, built before it and
// ended after it, as the program's main() does.
class MainWindow : private WindowCoreHolder, public TFormMain {
 public:
  MainWindow(Prompter& prompter, Shell& shell, QWidget* parent = nullptr)
      : WindowCoreHolder(prompter, shell), TFormMain(core.presenter, parent) {}
};

}  // namespace voxloom::test
