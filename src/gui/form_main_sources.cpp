// The random sources of the Preferences menu that need more than a check mark, their
// dialogs, the manual slider window, and Extras > Write RN.
#include <QAction>

#include "core/random/write_rn.h"
#include "gui/form_fractal.h"
#include "gui/form_input_string.h"
#include "gui/form_main.h"
#include "gui/form_manual_random.h"
#include "gui/form_parallel_port.h"
#include "gui/form_rec_level.h"
#include "gui/form_write_rn.h"

namespace voxloom {

namespace {

// The forms are made at start-up with the main window as owner; a main window made
// alone gets them on first use. They keep their values between uses, as their controls do.
template <typename Form>
Form* ownedForm(QWidget* main) {
  auto* form = main->findChild<Form*>(QString(), Qt::FindDirectChildrenOnly);
  return form != nullptr ? form : new Form(main);
}

class QtSourceDialogs : public QObject,
                        public FractalDialog,
                        public ServiceUrlDialog,
                        public WriteRnDialog,
                        public ParallelPortDialog {
 public:
  QtSourceDialogs(QWidget* main, Prompter& prompter)
      : QObject(main), main_(main), prompter_(prompter) {}

  bool askFractal(FractalForm& form) override {
    TFormFractal* dialog = ownedForm<TFormFractal>(main_);
    dialog->bind(&form, &prompter_);
    return dialog->exec() == QDialog::Accepted;
  }
  bool askServiceUrl(ServiceUrlForm& form) override {
    TFormInputString* dialog = ownedForm<TFormInputString>(main_);
    dialog->bind(&form);
    return dialog->exec() == QDialog::Accepted;
  }
  bool askWriteRn(WriteRnDialogState& state) override {
    TFormWriteRN* form = ownedForm<TFormWriteRN>(main_);
    form->showState(state);
    const bool ok = form->exec() == QDialog::Accepted;
    if (ok) state = form->state();
    return ok;
  }
  bool askParallelPort(ParallelPortDialogState& state) override {
    TFormParallelPort* form = ownedForm<TFormParallelPort>(main_);
    form->showState(state);
    const bool ok = form->exec() == QDialog::Accepted;
    state = form->state();
    return ok;
  }

  WriteRnDialogState writeRn;

 private:
  QWidget* main_;
  Prompter& prompter_;
};

}  // namespace

void TFormMain::wireSources(Prompter& prompter) {
  RandomSources& random = services_.playback.parts.random;
  auto* dialogs = new QtSourceDialogs(this, prompter);
  random.fractalDialog = dialogs;
  random.urlDialog = dialogs;
  random.parallelPort.dialog = dialogs;
  random.parallelPort.focusDialog = [this] {
    auto* form = findChild<TFormParallelPort*>(QString(), Qt::FindDirectChildrenOnly);
    if (form != nullptr && form->isVisible()) form->activateWindow();
  };

  // Only the fractal, parallel-port and device items ask interactively; the file and
  // internet items ask because they name no file or URL.
  for (std::size_t i = 0; i < sourceMenu_.sources.size(); ++i) {
    const auto kind = static_cast<RandomSourceKind>(i);
    if (kind == RandomSourceKind::PseudoRng) continue;  // wired with the engine controls
    connect(sourceMenu_.sources[i], &QAction::triggered, this, [this, kind] {
      RandomSources& sources = services_.playback.parts.random;
      sources.selectRandomSource(kind, "", "",
                                 kind == RandomSourceKind::Fractal ||
                                     kind == RandomSourceKind::ParallelPort ||
                                     kind == RandomSourceKind::Device);
      // The level window follows the sound-card source (unless a recording shows it).
      auto* level = findChild<TFormRecLevel*>(QString(), Qt::FindDirectChildrenOnly);
      if (level != nullptr && level->meter() != nullptr &&
          services_.states.state() != kStateRecording)
        level->meter()->setVisible(sources.menu.showRecLevel);
      refreshCommands();
    });
  }
  connect(commandControls_[static_cast<std::size_t>(Command::WriteRandom)].action,
          &QAction::triggered, this, [this, dialogs] {
            if (!services_.states.commands()[Command::WriteRandom]) return;
            writeRandomNumbers(services_.playback.parts.random, dialogs->writeRn, *dialogs,
                               services_.document.folders.useSeparate);
            refreshEngineControls();
          });
  refreshSourceCaptions();
}

void TFormMain::refreshSourceCaptions() {
  const RandomSourceMenu& menu = services_.playback.parts.random.menu;
  const std::pair<RandomSourceKind, const std::string&> captions[] = {
      {RandomSourceKind::RandomFile, menu.fileCaption},
      {RandomSourceKind::Internet, menu.httpCaption},
      {RandomSourceKind::Device, menu.deviceCaption},
  };
  for (const auto& [kind, caption] : captions)
    sourceMenu_.sources[static_cast<std::size_t>(kind)]->setText(QString::fromStdString(caption));
}

void TFormMain::refreshSourceWindows() {
  refreshSourceCaptions();
  RandomSources& random = services_.playback.parts.random;
  auto* manual = findChild<TFormManualRandom*>(QString(), Qt::FindDirectChildrenOnly);
  if (manual == nullptr && !random.menu.showManualRandom) return;
  if (manual == nullptr) manual = new TFormManualRandom(this);
  manual->bind(&random.manualPosition, &random.manualMute,
               [this] { services_.playback.closeManualRandom(); });
  if (random.menu.showManualRandom) {
    manual->show();
  } else if (manual->isVisible()) {
    manual->hide();  // hiding is no close by the user
  }
}

}  // namespace voxloom
