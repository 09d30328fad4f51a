#include "gui/qt_effect_dialogs.h"

#include <QWidget>

#include "gui/form_auto_cut.h"
#include "gui/form_echo.h"

namespace voxloom {

namespace {

template <class Form>
Form* formOf(QWidget* mainWindow) {
  if (auto* form = mainWindow->findChild<Form*>(QString(), Qt::FindDirectChildrenOnly)) return form;
  return new Form(mainWindow);
}

}  // namespace

QtEffectDialogs::QtEffectDialogs(QWidget* mainWindow)
    : QObject(mainWindow), mainWindow_(mainWindow) {}

TFormEcho* QtEffectDialogs::echoForm() {
  return formOf<TFormEcho>(mainWindow_);
}

TFormAutoCut* QtEffectDialogs::autoCutForm() {
  return formOf<TFormAutoCut>(mainWindow_);
}

bool QtEffectDialogs::askEcho(EchoDialogState& state) {
  TFormEcho* form = echoForm();
  form->showState(state);
  if (form->exec() != QDialog::Accepted) return false;
  state = form->state();
  return true;
}

bool QtEffectDialogs::askAutoCut(AutoCutOptions& options) {
  TFormAutoCut* form = autoCutForm();
  form->showOptions(options);
  if (form->exec() != QDialog::Accepted) return false;
  options = form->options();
  return true;
}

}  // namespace voxloom
