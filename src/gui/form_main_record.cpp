// The Record command (ButtonRecord, MenuFileRecord, F4) and the two recording windows.
#include <QAbstractButton>
#include <QAction>

#include "gui/form_main.h"
#include "gui/form_rec_level.h"
#include "gui/form_rec_param.h"

namespace voxloom {

namespace {

// Shows TFormRecParam modally; the window's controls are the settings, so they are read
// back however it closes.
class QtRecParamDialog : public QObject, public RecParamDialog {
 public:
  explicit QtRecParamDialog(QWidget* mainWindow) : QObject(mainWindow), main_(mainWindow) {}

  bool askRecParam(RecParamState& state) override {
    TFormRecParam* form = main_->findChild<TFormRecParam*>(QString(), Qt::FindDirectChildrenOnly);
    if (form == nullptr) form = new TFormRecParam(main_);
    form->showState(state);
    const bool start = form->exec() == QDialog::Accepted;
    state = form->state();
    return start;
  }

 private:
  QWidget* main_;
};

}  // namespace

void TFormMain::wireRecording() {
  services_.recording.engine.dialog = new QtRecParamDialog(this);
  const CommandPair& pair = commandControls_[static_cast<std::size_t>(Command::Record)];
  auto record = [this] {
    // The level window is made at start-up with this window as owner; a main window
    // made alone gets one here.
    auto* level = findChild<TFormRecLevel*>(QString(), Qt::FindDirectChildrenOnly);
    if (level == nullptr) level = new TFormRecLevel(this);
    if (level->meter() != &services_.recording.engine.level)
      level->bindMeter(&services_.recording.engine.level);
    services_.recording.start();
  };
  connect(pair.action, &QAction::triggered, this, record);
  if (auto* button = qobject_cast<QAbstractButton*>(pair.widget))
    connect(button, &QAbstractButton::clicked, this, record);
}

}  // namespace voxloom
