// Construction of the main window's menus, toolbar, panels and status bar.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/form_main.h"
#include "gui/group_access_keys.h"

namespace voxloom {

namespace {

// The transport icons are drawn in colour: the standard ones are nearly black, and
// their greyed disabled look would hardly differ from the enabled one.
enum class Transport { Record, Play, MakeEvp, Pause, Stop };

QIcon transportIcon(Transport kind) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  auto triangle = [&p](double left, double width) {
    const QPointF points[] = {{left, 7}, {left + width, 16}, {left, 25}};
    p.drawPolygon(points, 3);
  };
  switch (kind) {
    case Transport::Record:
      p.setPen(QColor(120, 0, 0));
      p.setBrush(QColor(220, 30, 30));
      p.drawEllipse(QRectF(7, 7, 18, 18));
      break;
    case Transport::Play:
      p.setPen(QColor(0, 90, 20));
      p.setBrush(QColor(40, 170, 60));
      triangle(9, 16);
      break;
    case Transport::MakeEvp:
      // Yellow: the manual sweep's window asks for "the yellow Play button".
      p.setPen(QColor(130, 95, 0));
      p.setBrush(QColor(245, 200, 20));
      triangle(4, 12);
      triangle(16, 12);
      break;
    case Transport::Pause:
      p.setPen(QColor(10, 50, 120));
      p.setBrush(QColor(50, 110, 210));
      p.drawRect(QRectF(9, 8, 5, 16));
      p.drawRect(QRectF(18, 8, 5, 16));
      break;
    case Transport::Stop:
      p.setPen(QColor(60, 60, 60));
      p.setBrush(QColor(110, 110, 110));
      p.drawRect(QRectF(9, 9, 14, 14));
      break;
  }
  return QIcon(pixmap);
}

QSpinBox* makeSpin(QWidget* parent, const char* name, int minimum, int maximum, int value,
                   const QString& hint) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(minimum, maximum);
  spin->setValue(value);
  spin->setToolTip(hint);
  return spin;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                     bool checked) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  box->setToolTip(hint);
  box->setChecked(checked);
  return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setAutoDefault(false);
  // Narrow buttons: the captions are short and the panel is crowded.
  button->setMinimumWidth(button->fontMetrics().horizontalAdvance(caption) + 18);
  button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
  return button;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& hint, bool readOnly) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setToolTip(hint);
  edit->setReadOnly(readOnly);
  return edit;
}

}  // namespace

QAction* TFormMain::addAction(QMenu* menu, const char* name, const QString& caption,
                              const QKeySequence& shortcut) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  menu->addAction(action);
  return action;
}

QToolButton* TFormMain::addToolButton(const char* name, const QString& hint, const QIcon& icon) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setIcon(icon);
  button->setAutoRaise(true);
  return button;
}

void TFormMain::buildMenus() {
  auto pair = [this](Command command, QAction* action) {
    commandControls_[static_cast<std::size_t>(command)].action = action;
    return action;
  };

  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("MenuFile");
  pair(Command::Open, addAction(file, "MenuFileOpen", "&Open WAV file...", Qt::Key_F2));
  pair(Command::Save, addAction(file, "MenuFileSave", "&Save WAV file...", Qt::Key_F3));
  pair(Command::Record, addAction(file, "MenuFileRecord", "&Record WAV file...", Qt::Key_F4));
  file->addSeparator();
  importLabels_ = addAction(file, "MenuFileImportLabels", "&Import labels...");
  exportLabels_ = addAction(file, "MenuFileExportLabels", "E&xport labels...");
  file->addSeparator();
  pair(Command::Play, addAction(file, "MenuFilePlay", "&Play WAV file", Qt::Key_F5));
  pair(Command::MakeEvp, addAction(file, "MenuFileEVP", "&Make an EVP!", Qt::Key_F6));
  pair(Command::Pause, addAction(file, "MenuFilePause", "P&ause", Qt::Key_F7))->setCheckable(true);
  pair(Command::Stop, addAction(file, "MenuFileStop", "S&top", Qt::Key_F8));
  file->addSeparator();
  addAction(file, "MenuFileExit", "&Exit");

  QMenu* session = menuBar()->addMenu("&Session");
  session->setObjectName("MenuSession");
  addAction(session, "MenuSessionNew", "&New", QKeySequence("Ctrl+N"));
  addAction(session, "MenuSessionOpen", "&Open...", QKeySequence("Ctrl+O"));
  addAction(session, "MenuSessionSave", "&Save...", QKeySequence("Ctrl+S"));
  session->addSeparator();
  addAction(session, "MenuSessionRecord", "&Record", QKeySequence("Ctrl+R"))->setCheckable(true);
  addAction(session, "MenuSessionPlay", "&Play", QKeySequence("Ctrl+P"));
  addAction(session, "MenuSessionEVP", "Play &EVP", QKeySequence("Ctrl+E"));
  pair(Command::SessionStop,
       addAction(session, "MenuSessionStop", "S&top", QKeySequence("Ctrl+T")));
  session->addSeparator();
  addAction(session, "MenuSessionWAV", "E&xport EVP as WAV file...", QKeySequence("Ctrl+X"));
  addAction(session, "MenuSessionEdit", "Loa&d EVP into WAV editor", QKeySequence("Ctrl+D"));
  // Enabled by the session panel for a record captured in this run.
  addAction(session, "MenuSessionExportProvenance", "Export EVP pro&venance...")->setEnabled(false);
  session->addSeparator();
  addAction(session, "MenuSessionPrev", "&- Skip to previous EVP");
  addAction(session, "MenuSessionNext", "&+ Skip to next EVP");

  QMenu* extras = menuBar()->addMenu("&Extras");
  extras->setObjectName("MenuExtras");
  pair(Command::Live, addAction(extras, "MenuExtrasLive", "L&ive audio source"))
      ->setCheckable(true);
  extras->addSeparator();
  pair(Command::Reverse, addAction(extras, "MenuExtrasReverse", "Re&verse signal"));
  pair(Command::Echo, addAction(extras, "MenuExtrasEcho", "Add &echo to signal..."));
  pair(Command::Normalize, addAction(extras, "MenuExtrasNormalize", "&Normalize signal"));
  pair(Command::AutoCut, addAction(extras, "MenuExtrasAutocut", "Auto-&cut signal..."));
  extras->addSeparator();
  addAction(extras, "MenuExtrasSpeedControlWindow", "Spee&d control")->setCheckable(true);
  addAction(extras, "MenuExtrasVisualFeedbackWindow", "Visual &feedback window")
      ->setCheckable(true);
  extras->addSeparator();
  pair(Command::LogRandom, addAction(extras, "MenuExtrasProtRN", "&Log random numbers..."))
      ->setCheckable(true);
  pair(Command::WriteRandom, addAction(extras, "MenuExtrasWriteRN", "&Write RN to a file..."));
  extras->addSeparator();
  addAction(extras, "MenuExtrasSettings", "&Settings...");  // gui/form_settings.h

  QMenu* prefs = menuBar()->addMenu("&Preferences");
  prefs->setObjectName("MenuPref");
  QMenu* random = prefs->addMenu("&Random source");
  random->setObjectName("MenuPrefRndSrc");
  auto* sources = new QActionGroup(this);
  sources->setObjectName("RandomSourceGroup");
  const std::pair<const char*, const char*> sourceItems[] = {
      {"MenuPrefRndSrcProgram", "&Pseudo RNG"},
      {"MenuPrefRndSrcFractal", "&Fractal equation..."},
      {"MenuPrefRndSrcSoundcard", "&Sound card"},
      {"MenuPrefRndSrcFile", "F&ile..."},
      {"MenuPrefRndSrcHttp", "I&nternet..."},
      {"MenuPrefRndSrcManual", "&Manual sweep"},
      {"MenuPrefRndSrcLPT", "P&arallel printer port..."},
      {"MenuPrefRndSrcDevice", "&Device..."},
  };
  for (const auto& [name, caption] : sourceItems) {
    QAction* item = addAction(random, name, caption);
    item->setCheckable(true);
    sources->addAction(item);
  }
  sources->actions().front()->setChecked(true);
  random->addSeparator();
  const std::tuple<const char*, const char*, bool> options[] = {
      {"MenuPrefRndSrcConvert", "Bitwise &convert 32 RN to 1 RN", false},
      {"MenuPrefRndSrcRecBest", "Use &best sample rate", true},
      {"MenuPrefRndSrcRecNew", "&Retrieve new RN for each EVP", true},
      {"MenuPrefRndSrcFileLoop", "&Loop file", true},
  };
  for (const auto& [name, caption, checked] : options) {
    QAction* item = addAction(random, name, caption);
    item->setCheckable(true);
    item->setChecked(checked);
  }
  QMenu* mixer = prefs->addMenu("Audio &mixer");
  mixer->setObjectName("MenuPrefMixer");
  mixerPlayback_ = addAction(mixer, "MenuPrefMixerPlayback", "&Playback");
  mixerRecording_ = addAction(mixer, "MenuPrefMixerRecordig", "&Recordig");

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("MenuHelp");
  addAction(help, "MenuHelpManual", "&Manual", Qt::Key_F1);
  addAction(help, "QuickstartGuide1", "&Quickstart guide");
  addAction(help, "MenuHelpDownload", "Go to &web site / download");
  help->addSeparator();
  addAction(help, "MenuHelpAbout", "&About Voxloom...");
}

void TFormMain::buildToolBar() {
  QToolBar* bar = addToolBar("Commands");
  bar->setObjectName("ToolBar");
  bar->setMovable(false);
  bar->setIconSize(QSize(24, 24));
  struct Item {
    Command command;
    const char* name;
    const char* hint;
    QIcon icon;
  };
  // Icons made from a pixmap get Qt's generated greyed look when disabled; some themes'
  // standard icons have none.
  auto standard = [this](QStyle::StandardPixmap which) {
    return QIcon(style()->standardIcon(which).pixmap(24, 24));
  };
  const Item items[] = {
      {Command::Open, "ButtonOpen", "Open WAV file (F2)", standard(QStyle::SP_DialogOpenButton)},
      {Command::Save, "ButtonSave", "Save to a WAV file (F3)",
       standard(QStyle::SP_DialogSaveButton)},
      {Command::Record, "ButtonRecord", "Record (F4)", transportIcon(Transport::Record)},
      {Command::Play, "ButtonPlay", "Play (F5)", transportIcon(Transport::Play)},
      {Command::MakeEvp, "ButtonRndPlay", "Make EVP (F6)", transportIcon(Transport::MakeEvp)},
      {Command::Pause, "ButtonPause", "Pause/Continue (F7)", transportIcon(Transport::Pause)},
      {Command::Stop, "ButtonStop", "Stop (F8)", transportIcon(Transport::Stop)},
  };
  for (const Item& item : items) {
    QToolButton* button = addToolButton(item.name, item.hint, item.icon);
    if (item.command == Command::Pause) button->setCheckable(true);
    if (item.command == Command::Record || item.command == Command::Play) bar->addSeparator();
    bar->addWidget(button);
    commandControls_[static_cast<std::size_t>(item.command)].widget = button;
  }
}

QWidget* TFormMain::buildSegmentsGroup() {
  auto* group = new QGroupBox("Segments", this);
  group->setObjectName("GroupBoxSegments");
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel("From", group), 0, 0);
  grid->addWidget(makeSpin(group, "CSpinEditSegDuration", 1, 10000, 80,
                           "Minimum duration of each segment (milliseconds)"),
                  0, 1);
  grid->addWidget(new QLabel("ms", group), 0, 2);
  grid->addWidget(makeCheck(group, "CheckBoxSegTo", "To",
                            "Vary duration of segments between minimum and maximum value", false),
                  1, 0);
  grid->addWidget(makeSpin(group, "CSpinEditSegDuration2", 1, 10000, 120,
                           "Maximum duration of each segment (milliseconds)"),
                  1, 1);
  grid->addWidget(new QLabel("ms", group), 1, 2);
  grid->addWidget(makeCheck(group, "CheckBoxOverlap", "Overlap",
                            "Segments can be overlapping or adjacent", false),
                  2, 0, 1, 2);
  grid->addWidget(makeCheck(group, "CheckBoxZeroCrossAdjust", "Z-Cross",
                            "Adjust the segment borders to avoid \"clicks\"", true),
                  3, 0, 1, 2);
  grid->addWidget(
      makeCheck(group, "CheckBoxUseCueList", "Use Cue List",
                "If the WAV file contains a Cue List, use cues instead of segments", false),
      4, 0, 1, 3);
  QCheckBox* crossFade = makeCheck(
      group, "CheckBoxCrossFade", "X-Fade",
      "Cross fade segments to make output sound \"softer\" (right-click to configure)", false);
  grid->addWidget(crossFade, 5, 0, 1, 3);
  grid->setColumnStretch(3, 1);

  auto* fadeMenu = new QMenu(crossFade);
  fadeMenu->setObjectName("PopupMenuFade");
  auto* fades = new QActionGroup(fadeMenu);
  const std::pair<const char*, const char*> fadeItems[] = {
      {"PopupMenuFadeLinear", "&Linear"},           {"PopupMenuFadeSine", "&Sine"},
      {"PopupMenuFadeSineHalf", "Sine &half-wave"}, {"PopupMenuFadeTrapez10", "Trapezoid &10%"},
      {"PopupMenuFadeTrapez20", "Trapezoid &20%"},  {"PopupMenuFadeTrapez30", "Trapezoid &30%"},
      {"PopupMenuFadeTrapez40", "Trapezoid &40%"},  {"PopupMenuFadeTrapez50", "Trapezoid &50%"},
      {"PopupMenuFadeTrapez60", "Trapezoid &60%"},  {"PopupMenuFadeTrapez70", "Trapezoid &70%"},
      {"PopupMenuFadeTrapez80", "Trapezoid &80%"},  {"PopupMenuFadeTrapez90", "Trapezoid &90%"},
  };
  for (const auto& [name, caption] : fadeItems) {
    QAction* item = addAction(fadeMenu, name, caption);
    item->setCheckable(true);
    fades->addAction(item);
  }
  fades->actions().front()->setChecked(true);
  crossFade->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(crossFade, &QWidget::customContextMenuRequested, this,
          [crossFade, fadeMenu](const QPoint& at) { fadeMenu->popup(crossFade->mapToGlobal(at)); });
  return group;
}

QWidget* TFormMain::buildPlayEvpGroup() {
  radioGroupRandomPlay_ = new QGroupBox("Play EVP", this);
  radioGroupRandomPlay_->setObjectName("RadioGroupRandomPlay");
  radioGroupRandomPlay_->setToolTip("Play segments until \"Stop\", or stop after x seconds");
  auto* continuously = new QRadioButton("continuously", radioGroupRandomPlay_);
  continuously->setObjectName("RadioGroupRandomPlayItem0");
  continuously->setChecked(true);
  playForTime_ = new QRadioButton("for               s", radioGroupRandomPlay_);
  playForTime_->setObjectName("RadioGroupRandomPlayItem1");
  auto* column = new QVBoxLayout(radioGroupRandomPlay_);
  column->addWidget(continuously);
  column->addWidget(playForTime_);
  column->addStretch();

  // The spin edit sits in the blanks of the second item's caption.
  playTimeSpin_ = makeSpin(radioGroupRandomPlay_, "CSpinEditRandomPlayTime", 1, 999, 15,
                           "Number of seconds after which EVP generation stops automatically");
  playTimeSpin_->installEventFilter(this);
  radioGroupRandomPlay_->installEventFilter(this);
  connect(playTimeSpin_, &QSpinBox::valueChanged, this, [this] { playForTime_->setChecked(true); });
  return radioGroupRandomPlay_;
}

QWidget* TFormMain::buildSessionGroup() {
  auto* group = new QGroupBox("EVP Session", this);
  group->setObjectName("GroupBoxSession");
  auto* grid = new QGridLayout(group);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(makeEdit(group, "EditSessionFile", "Name of Session file", true), 1);
  fileRow->addWidget(makeButton(group, "ButtonOpenSessionFile", "&Open", "Open Session file"));
  fileRow->addWidget(
      makeButton(group, "ButtonCloseSessionFile", "&New", "Close Session file / New session"));
  fileRow->addWidget(makeButton(group, "ButtonSaveSessionFile", "&Save", "Save Session file"));
  grid->addLayout(fileRow, 0, 0, 1, 2);

  auto* stampRow = new QHBoxLayout;
  stampRow->addWidget(makeEdit(group, "EditDateTime", "Date/Time when EVP was recorded", true), 3);
  QLineEdit* sequence = makeEdit(group, "EditSequence", "Current EVP number within session", true);
  sequence->setText("0/0");
  sequence->setAlignment(Qt::AlignCenter);
  stampRow->addWidget(sequence, 1);
  auto* recordMode = new QLabel(group);
  recordMode->setObjectName("LabelSessionRecordMode");
  QPalette red = recordMode->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  recordMode->setPalette(red);
  recordMode->setMinimumWidth(recordMode->fontMetrics().horizontalAdvance("Recording") + 8);
  stampRow->addWidget(recordMode);
  grid->addLayout(stampRow, 1, 0, 1, 2);

  auto* question = makeEdit(group, "EditQuestion", "Enter your question here!", false);
  auto* questionLabel = new QLabel("&Question", group);
  questionLabel->setBuddy(question);
  grid->addWidget(questionLabel, 2, 0);
  grid->addWidget(question, 2, 1);
  auto* answer = makeEdit(group, "EditAnswer", "Enter your EVP Interpretation here!", false);
  auto* answerLabel = new QLabel("EVP &Answer", group);
  answerLabel->setBuddy(answer);
  grid->addWidget(answerLabel, 3, 0);
  grid->addWidget(answer, 3, 1);

  auto* buttonRow = new QHBoxLayout;
  buttonRow->setSpacing(3);
  buttonRow->addWidget(makeButton(group, "ButtonSessionRec", "&Rec", "Recording session ON/OFF"));
  buttonRow->addWidget(makeButton(group, "ButtonSessionPlay", "&Play", "Play entire session"));
  buttonRow->addWidget(
      makeButton(group, "ButtonSessionPlaySeq", "&EVP", "Play previously recorded EVP"));
  QPushButton* stop = makeButton(group, "ButtonSessionStop", "S&top", "Stop playing");
  buttonRow->addWidget(stop);
  buttonRow->addSpacing(8);
  buttonRow->addWidget(makeButton(group, "ButtonSessionPrev", "&-", "Skip to previous EVP"));
  buttonRow->addWidget(makeButton(group, "ButtonSessionNext", "&+", "Skip to next EVP"));
  buttonRow->addSpacing(8);
  buttonRow->addWidget(makeButton(group, "ButtonSessionWav", "E&xp", "Export EVP as WAV file"));
  QPushButton* edit = makeButton(group, "ButtonSessionEdit", "E&dit",
                                 "Open EVP in external editor (right-click to configure)");
  buttonRow->addWidget(edit);
  buttonRow->addStretch();
  grid->addLayout(buttonRow, 4, 0, 1, 2);

  memoCueLabels_ = new QPlainTextEdit(group);
  memoCueLabels_->setObjectName("MemoCueLabels");
  memoCueLabels_->setReadOnly(true);
  memoCueLabels_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoCueLabels_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoCueLabels_->setToolTip("Right-click to change Font...");
  QFont courier("Courier New", 10);
  courier.setStyleHint(QFont::TypeWriter);
  memoCueLabels_->setFont(courier);
  memoCueLabels_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(memoCueLabels_, &QWidget::customContextMenuRequested, this,
          [this] { chooseCueLabelFont(); });
  grid->addWidget(memoCueLabels_, 5, 0, 1, 2);
  grid->setRowStretch(5, 1);

  auto* editMenu = new QMenu(edit);
  editMenu->setObjectName("PopupMenuEdit");
  addAction(editMenu, "PopupMenuEditSelect", "&Select editor...");
  addAction(editMenu, "PopupMenuEditDefault", "Use the system's &default program");
  edit->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(edit, &QWidget::customContextMenuRequested, this,
          [edit, editMenu](const QPoint& at) { editMenu->popup(edit->mapToGlobal(at)); });

  // "Play", "EVP" and "Save" share their letters with menu titles, which keep them.
  new GroupAccessKeys(group, menuBar());

  commandControls_[static_cast<std::size_t>(Command::SessionStop)].widget = stop;
  commandControls_[static_cast<std::size_t>(Command::MemoCueLabels)].widget = memoCueLabels_;
  return group;
}

void TFormMain::buildStatusBar() {
  const int widths[3] = {170, 65, 50};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setMinimumWidth(widths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPanels_[i] = panel;
    // The last panel takes the rest of the bar.
    statusBar()->addWidget(panel, i == 2 ? 1 : 0);
  }
  buildHealthPanels();
}

}  // namespace voxloom
