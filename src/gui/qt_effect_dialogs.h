#pragma once

#include <QObject>

#include "core/ports/effect_dialogs.h"

class QWidget;

namespace voxloom {

class TFormAutoCut;
class TFormEcho;

// Shows TFormEcho and TFormAutoCut modally over the main window. The forms created at
// start-up (children of the main window) are used; missing ones are created on first use.
class QtEffectDialogs : public QObject, public EffectDialogs {
  Q_OBJECT

 public:
  explicit QtEffectDialogs(QWidget* mainWindow);

  bool askEcho(EchoDialogState& state) override;
  bool askAutoCut(AutoCutOptions& options) override;

  TFormEcho* echoForm();
  TFormAutoCut* autoCutForm();

 private:
  QWidget* mainWindow_;
};

}  // namespace voxloom
