// Construction of the main window's menus, toolbar and panels; the status bar is built
// in form_main_health.cpp.
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
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/form_main.h"
#include "gui/group_access_keys.h"
#include "gui/status_panels.h"

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
  menuItems_.exit = addAction(file, "MenuFileExit", "&Exit");

  QMenu* session = menuBar()->addMenu("&Session");
  session->setObjectName("MenuSession");
  auto sessionItem = [this, session](SessionControl control, const char* name,
                                     const QString& caption, const QKeySequence& shortcut = {}) {
    QAction* action = addAction(session, name, caption, shortcut);
    session_.controls[static_cast<std::size_t>(control)].action = action;
    return action;
  };
  sessionItem(SessionControl::ButtonCloseSessionFile, "MenuSessionNew", "&New",
              QKeySequence("Ctrl+N"));
  sessionItem(SessionControl::ButtonOpenSessionFile, "MenuSessionOpen", "&Open...",
              QKeySequence("Ctrl+O"));
  sessionItem(SessionControl::ButtonSaveSessionFile, "MenuSessionSave", "&Save...",
              QKeySequence("Ctrl+S"));
  session->addSeparator();
  sessionItem(SessionControl::ButtonSessionRec, "MenuSessionRecord", "&Record",
              QKeySequence("Ctrl+R"))
      ->setCheckable(true);
  sessionItem(SessionControl::ButtonSessionPlay, "MenuSessionPlay", "&Play",
              QKeySequence("Ctrl+P"));
  sessionItem(SessionControl::ButtonSessionPlaySeq, "MenuSessionEVP", "Play &EVP",
              QKeySequence("Ctrl+E"));
  pair(Command::SessionStop, sessionItem(SessionControl::ButtonSessionStop, "MenuSessionStop",
                                         "S&top", QKeySequence("Ctrl+T")));
  session->addSeparator();
  sessionItem(SessionControl::ButtonSessionWav, "MenuSessionWAV", "E&xport EVP as WAV file...",
              QKeySequence("Ctrl+X"));
  sessionItem(SessionControl::ButtonSessionEdit, "MenuSessionEdit", "Loa&d EVP into WAV editor",
              QKeySequence("Ctrl+D"));
  // Enabled by the session panel for a record captured in this run.
  session_.exportProvenance =
      addAction(session, "MenuSessionExportProvenance", "Export EVP pro&venance...");
  session_.exportProvenance->setEnabled(false);
  session->addSeparator();
  sessionItem(SessionControl::ButtonSessionPrev, "MenuSessionPrev", "&- Skip to previous EVP");
  sessionItem(SessionControl::ButtonSessionNext, "MenuSessionNext", "&+ Skip to next EVP");

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
  pair(Command::Listen, addAction(extras, "MenuExtrasListener", "&Machine listener..."));
  pair(Command::AddHeardCues,
       addAction(extras, "MenuExtrasListenerAddCues", "Add heard words as c&ues"));
  extras->addSeparator();
  menuItems_.speedWindow = addAction(extras, "MenuExtrasSpeedControlWindow", "Spee&d control");
  menuItems_.speedWindow->setCheckable(true);
  menuItems_.feedbackWindow =
      addAction(extras, "MenuExtrasVisualFeedbackWindow", "Visual &feedback window");
  menuItems_.feedbackWindow->setCheckable(true);
  extras->addSeparator();
  pair(Command::LogRandom, addAction(extras, "MenuExtrasProtRN", "&Log random numbers..."))
      ->setCheckable(true);
  pair(Command::WriteRandom, addAction(extras, "MenuExtrasWriteRN", "&Write RN to a file..."));
  extras->addSeparator();
  menuItems_.settings = addAction(extras, "MenuExtrasSettings", "&Settings...");

  QMenu* prefs = menuBar()->addMenu("&Preferences");
  prefs->setObjectName("MenuPref");
  QMenu* random = prefs->addMenu("&Random source");
  random->setObjectName("MenuPrefRndSrc");
  auto* sources = new QActionGroup(this);
  sources->setObjectName("RandomSourceGroup");
  // The menu's order is not the order of the kinds' numbers.
  const RandomSourceKind menuOrder[] = {
      RandomSourceKind::PseudoRng,    RandomSourceKind::Fractal,  RandomSourceKind::SoundCard,
      RandomSourceKind::RandomFile,   RandomSourceKind::Internet, RandomSourceKind::ManualSweep,
      RandomSourceKind::ParallelPort, RandomSourceKind::Device,
  };
  for (RandomSourceKind kind : menuOrder) {
    const auto index = static_cast<std::size_t>(kind);
    QAction* item =
        addAction(random, kRandomSourceItems[index].menuItem, kRandomSourceItems[index].caption);
    item->setCheckable(true);
    sources->addAction(item);
    sourceMenu_.sources[index] = item;
  }
  sources->actions().front()->setChecked(true);
  random->addSeparator();
  const std::tuple<QAction**, const char*, const char*, bool> options[] = {
      {&sourceMenu_.convert, "MenuPrefRndSrcConvert", "Bitwise &convert 32 RN to 1 RN", false},
      {&sourceMenu_.recBest, "MenuPrefRndSrcRecBest", "Use &best sample rate", true},
      {&sourceMenu_.recNew, "MenuPrefRndSrcRecNew", "&Retrieve new RN for each EVP", true},
      {&sourceMenu_.fileLoop, "MenuPrefRndSrcFileLoop", "&Loop file", true},
  };
  for (const auto& [member, name, caption, checked] : options) {
    QAction* item = addAction(random, name, caption);
    item->setCheckable(true);
    item->setChecked(checked);
    *member = item;
  }
  QMenu* mixer = prefs->addMenu("Audio &mixer");
  mixer->setObjectName("MenuPrefMixer");
  mixerPlayback_ = addAction(mixer, "MenuPrefMixerPlayback", "&Playback");
  mixerRecording_ = addAction(mixer, "MenuPrefMixerRecordig", "&Recordig");

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("MenuHelp");
  menuItems_.manual = addAction(help, "MenuHelpManual", "&Manual", Qt::Key_F1);
  menuItems_.quickstart = addAction(help, "QuickstartGuide1", "&Quickstart guide");
  menuItems_.download = addAction(help, "MenuHelpDownload", "Go to &web site / download");
  help->addSeparator();
  menuItems_.about = addAction(help, "MenuHelpAbout", "&About Voxloom...");
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
  segments_.duration = makeSpin(group, "CSpinEditSegDuration", 1, 10000, 80,
                                "Minimum duration of each segment (milliseconds)");
  segments_.segTo = makeCheck(group, "CheckBoxSegTo", "To",
                              "Vary duration of segments between minimum and maximum value", false);
  segments_.duration2 = makeSpin(group, "CSpinEditSegDuration2", 1, 10000, 120,
                                 "Maximum duration of each segment (milliseconds)");
  segments_.overlap = makeCheck(group, "CheckBoxOverlap", "Overlap",
                                "Segments can be overlapping or adjacent", false);
  segments_.zeroCross = makeCheck(group, "CheckBoxZeroCrossAdjust", "Z-Cross",
                                  "Adjust the segment borders to avoid \"clicks\"", true);
  segments_.useCueList =
      makeCheck(group, "CheckBoxUseCueList", "Use Cue List",
                "If the WAV file contains a Cue List, use cues instead of segments", false);
  QCheckBox* crossFade = makeCheck(
      group, "CheckBoxCrossFade", "X-Fade",
      "Cross fade segments to make output sound \"softer\" (right-click to configure)", false);
  segments_.crossFade = crossFade;
  grid->addWidget(new QLabel("From", group), 0, 0);
  grid->addWidget(segments_.duration, 0, 1);
  grid->addWidget(new QLabel("ms", group), 0, 2);
  grid->addWidget(segments_.segTo, 1, 0);
  grid->addWidget(segments_.duration2, 1, 1);
  grid->addWidget(new QLabel("ms", group), 1, 2);
  grid->addWidget(segments_.overlap, 2, 0, 1, 2);
  grid->addWidget(segments_.zeroCross, 3, 0, 1, 2);
  grid->addWidget(segments_.useCueList, 4, 0, 1, 3);
  grid->addWidget(crossFade, 5, 0, 1, 3);
  grid->setColumnStretch(3, 1);

  auto* fadeMenu = new QMenu(crossFade);
  fadeMenu->setObjectName("PopupMenuFade");
  segments_.fadeMenu = fadeMenu;
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
  auto control = [this](SessionControl c, QWidget* widget) {
    session_.controls[static_cast<std::size_t>(c)].widget = widget;
    return widget;
  };
  auto button = [&](SessionControl c, const char* name, const QString& caption,
                    const QString& hint) {
    QPushButton* made = makeButton(group, name, caption, hint);
    control(c, made);
    return made;
  };

  auto* fileRow = new QHBoxLayout;
  session_.file = makeEdit(group, "EditSessionFile", "Name of Session file", true);
  fileRow->addWidget(control(SessionControl::EditSessionFile, session_.file), 1);
  fileRow->addWidget(button(SessionControl::ButtonOpenSessionFile, "ButtonOpenSessionFile", "&Open",
                            "Open Session file"));
  fileRow->addWidget(button(SessionControl::ButtonCloseSessionFile, "ButtonCloseSessionFile",
                            "&New", "Close Session file / New session"));
  fileRow->addWidget(button(SessionControl::ButtonSaveSessionFile, "ButtonSaveSessionFile", "&Save",
                            "Save Session file"));
  grid->addLayout(fileRow, 0, 0, 1, 2);

  auto* stampRow = new QHBoxLayout;
  session_.dateTime = makeEdit(group, "EditDateTime", "Date/Time when EVP was recorded", true);
  stampRow->addWidget(control(SessionControl::EditDateTime, session_.dateTime), 3);
  session_.sequence = makeEdit(group, "EditSequence", "Current EVP number within session", true);
  session_.sequence->setText("0/0");
  session_.sequence->setAlignment(Qt::AlignCenter);
  stampRow->addWidget(control(SessionControl::EditSequence, session_.sequence), 1);
  session_.recordMode = new QLabel(group);
  session_.recordMode->setObjectName("LabelSessionRecordMode");
  QPalette red = session_.recordMode->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  session_.recordMode->setPalette(red);
  session_.recordMode->setMinimumWidth(
      session_.recordMode->fontMetrics().horizontalAdvance("Recording") + 8);
  stampRow->addWidget(session_.recordMode);
  grid->addLayout(stampRow, 1, 0, 1, 2);

  session_.question = makeEdit(group, "EditQuestion", "Enter your question here!", false);
  control(SessionControl::EditQuestion, session_.question);
  auto* questionLabel = new QLabel("&Question", group);
  questionLabel->setBuddy(session_.question);
  grid->addWidget(questionLabel, 2, 0);
  grid->addWidget(session_.question, 2, 1);
  session_.answer = makeEdit(group, "EditAnswer", "Enter your EVP Interpretation here!", false);
  control(SessionControl::EditAnswer, session_.answer);
  auto* answerLabel = new QLabel("EVP &Answer", group);
  answerLabel->setBuddy(session_.answer);
  grid->addWidget(answerLabel, 3, 0);
  grid->addWidget(session_.answer, 3, 1);
  // What the machine listener heard: beside the person's answer, never in it.
  // Long lists give way (its tip has them whole) instead of widening the window.
  session_.heardWords = new CompactLabel(group);
  session_.heardWords->setObjectName("LabelHeardWords");
  session_.heardWords->hide();
  grid->addWidget(session_.heardWords, 4, 1);

  auto* buttonRow = new QHBoxLayout;
  buttonRow->setSpacing(3);
  buttonRow->addWidget(button(SessionControl::ButtonSessionRec, "ButtonSessionRec", "&Rec",
                              "Recording session ON/OFF"));
  buttonRow->addWidget(button(SessionControl::ButtonSessionPlay, "ButtonSessionPlay", "&Play",
                              "Play entire session"));
  buttonRow->addWidget(button(SessionControl::ButtonSessionPlaySeq, "ButtonSessionPlaySeq", "&EVP",
                              "Play previously recorded EVP"));
  QPushButton* stop =
      button(SessionControl::ButtonSessionStop, "ButtonSessionStop", "S&top", "Stop playing");
  buttonRow->addWidget(stop);
  buttonRow->addSpacing(8);
  buttonRow->addWidget(
      button(SessionControl::ButtonSessionPrev, "ButtonSessionPrev", "&-", "Skip to previous EVP"));
  buttonRow->addWidget(
      button(SessionControl::ButtonSessionNext, "ButtonSessionNext", "&+", "Skip to next EVP"));
  buttonRow->addSpacing(8);
  buttonRow->addWidget(button(SessionControl::ButtonSessionWav, "ButtonSessionWav", "E&xp",
                              "Export EVP as WAV file"));
  QPushButton* edit = button(SessionControl::ButtonSessionEdit, "ButtonSessionEdit", "E&dit",
                             "Open EVP in external editor (right-click to configure)");
  buttonRow->addWidget(edit);
  buttonRow->addStretch();
  grid->addLayout(buttonRow, 5, 0, 1, 2);

  memoCueLabels_ = new QPlainTextEdit(group);
  memoCueLabels_->setObjectName("MemoCueLabels");
  control(SessionControl::MemoCueLabels, memoCueLabels_);
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
  session_.selectEditor = addAction(editMenu, "PopupMenuEditSelect", "&Select editor...");
  session_.defaultEditor =
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

}  // namespace voxloom
