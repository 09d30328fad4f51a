// The fractal, internet and manual sweep items of the random-source menu, their dialogs
// and the manual slider window.
#include <QAction>

#include "gui/form_fractal.h"
#include "gui/form_input_string.h"
#include "gui/form_main.h"
#include "gui/form_manual_random.h"

namespace voxloom {

namespace {

// The forms are made at start-up with the main window as owner; a main window made
// alone gets them on first use.
template <typename Form>
Form* ownedForm(QWidget* main) {
  auto* form = main->findChild<Form*>(QString(), Qt::FindDirectChildrenOnly);
  return form != nullptr ? form : new Form(main);
}

class QtFractalDialog : public QObject, public FractalDialog {
 public:
  QtFractalDialog(QWidget* main, Prompter& prompter)
      : QObject(main), main_(main), prompter_(prompter) {}
  bool askFractal(FractalForm& form) override {
    TFormFractal* dialog = ownedForm<TFormFractal>(main_);
    dialog->bind(&form, &prompter_);
    return dialog->exec() == QDialog::Accepted;
  }

 private:
  QWidget* main_;
  Prompter& prompter_;
};

class QtServiceUrlDialog : public QObject, public ServiceUrlDialog {
 public:
  explicit QtServiceUrlDialog(QWidget* main) : QObject(main), main_(main) {}
  bool askServiceUrl(ServiceUrlForm& form) override {
    TFormInputString* dialog = ownedForm<TFormInputString>(main_);
    dialog->bind(&form);
    return dialog->exec() == QDialog::Accepted;
  }

 private:
  QWidget* main_;
};

}  // namespace

void TFormMain::wireSources(Prompter& prompter) {
  RandomSources& random = controller_.playback.random;
  random.fractalDialog = new QtFractalDialog(this, prompter);
  random.urlDialog = new QtServiceUrlDialog(this);

  const std::pair<const char*, RandomSourceKind> items[] = {
      {"MenuPrefRndSrcFractal", RandomSourceKind::Fractal},
      {"MenuPrefRndSrcHttp", RandomSourceKind::Internet},
      {"MenuPrefRndSrcManual", RandomSourceKind::ManualSweep},
  };
  for (const auto& [name, kind] : items) {
    QAction* item = findChild<QAction*>(name);
    std::erase(laterActions_, item);
    connect(item, &QAction::triggered, this, [this, kind] {
      // Only the fractal item asks interactively; the internet item asks because it
      // names no URL.
      controller_.playback.random.selectRandomSource(kind, "", "",
                                                     kind == RandomSourceKind::Fractal);
      refreshCommands();
    });
  }
}

void TFormMain::refreshSourceWindows() {
  RandomSources& random = controller_.playback.random;
  findChild<QAction*>("MenuPrefRndSrcFile")
      ->setText(QString::fromStdString(random.menu.fileCaption));
  findChild<QAction*>("MenuPrefRndSrcHttp")
      ->setText(QString::fromStdString(random.menu.httpCaption));

  auto* manual = findChild<TFormManualRandom*>(QString(), Qt::FindDirectChildrenOnly);
  if (manual == nullptr && !random.menu.showManualRandom) return;
  if (manual == nullptr) manual = new TFormManualRandom(this);
  manual->bind(&random.manualPosition, &random.manualMute,
               [this] { controller_.closeManualRandom(); });
  if (random.menu.showManualRandom) {
    manual->show();
  } else if (manual->isVisible()) {
    manual->hide();  // hiding is no close by the user
  }
}

}  // namespace voxloom
