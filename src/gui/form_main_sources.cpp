// The random sources of the Preferences menu that need more than a check mark (file,
// sound card, parallel port) and Extras > Write RN, with their dialogs.
#include <QAction>

#include "core/random/write_rn.h"
#include "gui/form_main.h"
#include "gui/form_parallel_port.h"
#include "gui/form_rec_level.h"
#include "gui/form_write_rn.h"

namespace voxloom {

namespace {

template <typename Form>
Form* formOf(QWidget* main) {
  auto* form = main->findChild<Form*>(QString(), Qt::FindDirectChildrenOnly);
  return form != nullptr ? form : new Form(main);
}

// The forms keep their values between uses, as their controls do.
class QtSourceDialogs : public QObject, public WriteRnDialog, public ParallelPortDialog {
 public:
  explicit QtSourceDialogs(QWidget* mainWindow) : QObject(mainWindow), main_(mainWindow) {}

  bool askWriteRn(WriteRnDialogState& state) override {
    TFormWriteRN* form = formOf<TFormWriteRN>(main_);
    form->showState(state);
    const bool ok = form->exec() == QDialog::Accepted;
    if (ok) state = form->state();
    return ok;
  }
  bool askParallelPort(ParallelPortDialogState& state) override {
    TFormParallelPort* form = formOf<TFormParallelPort>(main_);
    form->showState(state);
    const bool ok = form->exec() == QDialog::Accepted;
    state = form->state();
    return ok;
  }

  WriteRnDialogState writeRn;

 private:
  QWidget* main_;
};

}  // namespace

void TFormMain::wireRandomSources() {
  RandomSources& random = controller_.playback.random;
  auto* dialogs = new QtSourceDialogs(this);
  random.parallelPort.dialog = dialogs;
  random.parallelPort.focusDialog = [this] {
    auto* form = findChild<TFormParallelPort*>(QString(), Qt::FindDirectChildrenOnly);
    if (form != nullptr && form->isVisible()) form->activateWindow();
  };

  auto select = [this](RandomSourceKind kind, bool interactive) {
    RandomSources& sources = controller_.playback.random;
    sources.selectRandomSource(kind, "", "", interactive);
    // The level window follows the sound-card source (unless a recording shows it).
    auto* level = findChild<TFormRecLevel*>(QString(), Qt::FindDirectChildrenOnly);
    if (level != nullptr && level->meter() != nullptr &&
        controller_.commandState != kStateRecording)
      level->meter()->setVisible(sources.menu.showRecLevel);
    refreshEngineControls();
    refreshSourceCaptions();
  };
  connect(findChild<QAction*>("MenuPrefRndSrcFile"), &QAction::triggered, this,
          [select] { select(RandomSourceKind::RandomFile, false); });
  connect(findChild<QAction*>("MenuPrefRndSrcSoundcard"), &QAction::triggered, this,
          [select] { select(RandomSourceKind::SoundCard, false); });
  connect(findChild<QAction*>("MenuPrefRndSrcLPT"), &QAction::triggered, this,
          [select] { select(RandomSourceKind::ParallelPort, true); });
  connect(commandControls_[static_cast<std::size_t>(Command::WriteRandom)].action,
          &QAction::triggered, this, [this, dialogs] {
            if (!controller_.commands[Command::WriteRandom]) return;
            writeRandomNumbers(controller_.playback.random, dialogs->writeRn, *dialogs,
                               controller_.useSeparateFolders);
            refreshEngineControls();
          });

  std::vector<QAction*> live;
  for (const char* name : {"MenuPrefRndSrcFile", "MenuPrefRndSrcSoundcard", "MenuPrefRndSrcLPT"})
    live.push_back(findChild<QAction*>(name));
  std::erase_if(laterActions_, [&](QAction* a) { return std::ranges::count(live, a) > 0; });
  refreshSourceCaptions();
}

void TFormMain::refreshSourceCaptions() {
  const RandomSourceMenu& menu = controller_.playback.random.menu;
  findChild<QAction*>("MenuPrefRndSrcFile")->setText(QString::fromStdString(menu.fileCaption));
  findChild<QAction*>("MenuPrefRndSrcHttp")->setText(QString::fromStdString(menu.httpCaption));
}

}  // namespace voxloom
