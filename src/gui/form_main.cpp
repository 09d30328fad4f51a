#include "gui/form_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "gui/form_about.h"
#include "gui/form_speed_control.h"
#include "gui/form_visual_feedback.h"
#include "gui/help_window.h"
#include "gui/menu_shortcuts_first.h"
#include "gui/status_panels.h"

namespace voxloom {

namespace {

QString qt(const std::string& s) {
  return QString::fromStdString(s);
}

// Only local files can be opened; a drop that carries anything else is refused whole.
QStringList localFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files << url.toLocalFile();
  }
  return files;
}

}  // namespace

TFormMain::TFormMain(MainPresenter& presenter, QWidget* parent)
    : QMainWindow(parent), controller_(presenter), services_(presenter.services()) {
  setObjectName("FormMain");
  setWindowTitle("Voxloom");
  setAcceptDrops(true);
  chooseFont_ = [this](const QFont& current) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, this);
    return ok ? std::optional<QFont>(font) : std::nullopt;
  };
  services_.programFolder = QCoreApplication::applicationDirPath().toStdString();
  controller_.showHelpPage = [this](const std::string& path, const std::string& note) {
    if (helpWindow_ == nullptr) helpWindow_ = new HelpWindow(this);
    helpWindow_->showPage(qt(path), qt(note));
  };
  mixerAvailable_ = controller_.mixerAvailable();

  buildMenus();
  buildToolBar();

  auto* central = new QWidget(this);
  auto* left = new QVBoxLayout;
  left->addWidget(buildSegmentsGroup());
  left->addWidget(buildPlayEvpGroup());
  left->addStretch();
  auto* row = new QHBoxLayout(central);
  row->addLayout(left);
  row->addWidget(buildSessionGroup(), 1);
  setCentralWidget(withSignalView(central));  // form_main_signal.cpp
  buildStatusBar();
  buildListenerPanel();
  wireCommands();
  wireSession();
  wireEffects();
  wireEngine();
  wireSources(presenter.prompter());  // form_main_sources.cpp
  wireRecording();                    // form_main_record.cpp
  wireToolWindows();
  wireListener();                // form_main_listener.cpp
  new MenuShortcutsFirst(this);  // Ctrl+X exports, also from the "From" spin box

  resize(720, 470 + kSignalViewHeight);
  // The place of a first start, and of every start that does not restore the stored one.
  move(200, 100);
  services_.relay.attach(this);
  refreshTexts();
  refreshCommands();
}

TFormMain::~TFormMain() {
  // The services outlive this window: nothing may reach it, its dialogs or its
  // prompts once it is gone.
  services_.relay.attach(nullptr);
  controller_.showHelpPage = nullptr;
  services_.document.setEffectDialogs(nullptr);
  services_.listener.onProgress = nullptr;
  services_.listener.dialog = nullptr;
  services_.recording.engine.dialog = nullptr;
  services_.playback.live.dialog = nullptr;
  RandomSources& random = services_.random.sources;
  random.fractalDialog = nullptr;
  random.urlDialog = nullptr;
  random.parallelPort.dialog = nullptr;
  random.parallelPort.focusDialog = nullptr;
  SessionController& sessions = services_.sessions.sessions;
  sessions.onChanged = nullptr;
  services_.playback.speed.window.checkChanged = nullptr;
  services_.playback.feedback.window.checkChanged = nullptr;
  // The tool windows go first, while this window is still whole.
  delete speedWindow_;
  delete feedbackWindow_;
}

void TFormMain::wireCommands() {
  auto on = [this](QAction* action, auto&& handler) {
    connect(action, &QAction::triggered, this, std::forward<decltype(handler)>(handler));
  };
  auto onCommand = [this](Command command, auto handler) {
    const CommandPair& pair = commandControls_[static_cast<std::size_t>(command)];
    connect(pair.action, &QAction::triggered, this, handler);
    if (auto* button = qobject_cast<QAbstractButton*>(pair.widget))
      connect(button, &QAbstractButton::clicked, this, handler);
  };
  onCommand(Command::Open, [this] { services_.openWavFile(""); });
  onCommand(Command::Save, [this] { services_.saveDocument(false); });
  on(menuItems_.exit, [this] { close(); });
  on(importLabels_, [this] { services_.document.importLabels(); });
  on(exportLabels_, [this] { services_.document.exportLabels(); });
  on(menuItems_.manual, [this] { controller_.showManual(); });
  on(menuItems_.quickstart, [this] { controller_.showQuickstart(); });
  on(menuItems_.download, [this] { controller_.openWebSite(); });
  on(menuItems_.about, [this] { showAbout(); });
  connect(mixerPlayback_, &QAction::triggered, this, [this] { controller_.openMixer(false); });
  connect(mixerRecording_, &QAction::triggered, this, [this] { controller_.openMixer(true); });
}

void TFormMain::changed(ViewAspect aspect) {
  switch (aspect) {
    case ViewAspect::Texts:
      refreshTexts();
      break;
    case ViewAspect::Commands:
      refreshCommands();
      break;
    case ViewAspect::Document:
      refreshDocument();
      break;
  }
}

void TFormMain::refreshTexts() {
  const DocumentTexts& texts = services_.document.document.texts;
  if (!texts.windowTitle.empty()) setWindowTitle(qt(texts.windowTitle));
  for (std::size_t i = 0; i < statusPanels_.size(); ++i) {
    statusPanels_[i]->setText(qt(texts.status[i]));
    keepWholeText(statusPanels_[i], kStatusPanelWidths[i]);
  }
}

void TFormMain::refreshCommands() {
  const CommandView& commands = services_.states.commands();
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    const CommandPair& pair = commandControls_[i];
    if (pair.widget != nullptr) pair.widget->setEnabled(commands.enabled[i]);
    if (pair.action != nullptr) pair.action->setEnabled(commands.enabled[i]);
  }
  mixerPlayback_->setEnabled(mixerAvailable_);
  mixerRecording_->setEnabled(mixerAvailable_);
  refreshSignalView();

  // Locked play-time controls show the spin edit on the button face, as read-only fields do.
  const bool playTimeActive = commands.playTimeControlsMode == 0;
  radioGroupRandomPlay_->setEnabled(playTimeActive);
  playTimeSpin_->setEnabled(playTimeActive);
  QPalette palette = playTimeSpin_->palette();
  const QPalette standard = this->palette();
  const QColor background =
      playTimeActive ? standard.color(QPalette::Base) : standard.color(QPalette::Button);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, background);
  playTimeSpin_->setPalette(palette);
  refreshEngineControls();
  refreshToolMarks();
  refreshListener();
}

void TFormMain::refreshDocument() {
  // The texts may change with the document.
  refreshTexts();
  refreshSignalView();
}

void TFormMain::placePlayTimeSpin() {
  // Put the spin edit over the blanks between "for" and "s" of the second item.
  QStyleOptionButton option;
  option.initFrom(playForTime_);
  const QRect text =
      playForTime_->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, playForTime_);
  const QFontMetrics metrics = playForTime_->fontMetrics();
  const int gapLeft = text.left() + metrics.horizontalAdvance("for ");
  const int gapRight = text.left() + metrics.horizontalAdvance("for              ");
  const int height = playTimeSpin_->sizeHint().height();
  const QPoint topLeft = playForTime_->mapTo(
      radioGroupRandomPlay_, QPoint(gapLeft, (playForTime_->height() - height) / 2));
  playTimeSpin_->setGeometry(topLeft.x(), topLeft.y(), gapRight - gapLeft, height);
  playTimeSpin_->raise();
}

void TFormMain::chooseCueLabelFont() {
  if (!chooseFont_) return;
  if (const std::optional<QFont> font = chooseFont_(memoCueLabels_->font()))
    memoCueLabels_->setFont(*font);
}

void TFormMain::showAbout() {
  if (about_ != nullptr) about_->exec();
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  if (about_ != nullptr) about_->applyVersion(VOXLOOM_VERSION);
  controller_.enterIdle();
  // Opening the start-up files may show messages; they belong over the window, so they
  // wait until it is on the screen. A window that is never exposed (started minimised)
  // opens them a little later all the same.
  if (QWindow* window = windowHandle()) window->installEventFilter(this);
  QTimer::singleShot(3000, this, [this] { openStartUpFiles(); });
}

void TFormMain::openStartUpFiles() {
  if (startUpFilesOpened_) return;
  startUpFilesOpened_ = true;
  if (QWindow* window = windowHandle()) window->removeEventFilter(this);
  controller_.openStartUpFiles(startupFiles_);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (controller_.closeQuery())
    event->accept();
  else
    event->ignore();
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!localFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event) {
  const QStringList files = localFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  for (const QString& file : files) services_.openFileByType(file.toStdString());
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
    // Queued: the window paints its first frame before any message box appears.
    QMetaObject::invokeMethod(this, &TFormMain::openStartUpFiles, Qt::QueuedConnection);
  }
  if (watched == radioGroupRandomPlay_ && event->type() == QEvent::Resize) placePlayTimeSpin();
  // Clicking into the play-time spin edit chooses the timed item.
  if (watched == playTimeSpin_ && event->type() == QEvent::FocusIn) playForTime_->setChecked(true);
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace voxloom
