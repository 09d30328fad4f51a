// The "EVP Session" panel and the Session menu: they forward to the session logic and
// show the panel state it keeps.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "gui/form_main.h"
#include "gui/form_session_edit.h"

namespace voxloom {

namespace {

struct SessionControlNames {
  SessionControl control;
  const char* widget;
  const char* action;  // nullptr: no menu item
};

constexpr SessionControlNames kSessionControls[] = {
    {SessionControl::EditSessionFile, "EditSessionFile", nullptr},
    {SessionControl::ButtonOpenSessionFile, "ButtonOpenSessionFile", "MenuSessionOpen"},
    {SessionControl::ButtonCloseSessionFile, "ButtonCloseSessionFile", "MenuSessionNew"},
    {SessionControl::ButtonSaveSessionFile, "ButtonSaveSessionFile", "MenuSessionSave"},
    {SessionControl::EditDateTime, "EditDateTime", nullptr},
    {SessionControl::EditSequence, "EditSequence", nullptr},
    {SessionControl::EditQuestion, "EditQuestion", nullptr},
    {SessionControl::EditAnswer, "EditAnswer", nullptr},
    {SessionControl::MemoCueLabels, "MemoCueLabels", nullptr},
    {SessionControl::ButtonSessionRec, "ButtonSessionRec", "MenuSessionRecord"},
    {SessionControl::ButtonSessionPlay, "ButtonSessionPlay", "MenuSessionPlay"},
    {SessionControl::ButtonSessionPlaySeq, "ButtonSessionPlaySeq", "MenuSessionEVP"},
    {SessionControl::ButtonSessionStop, "ButtonSessionStop", "MenuSessionStop"},
    {SessionControl::ButtonSessionPrev, "ButtonSessionPrev", "MenuSessionPrev"},
    {SessionControl::ButtonSessionNext, "ButtonSessionNext", "MenuSessionNext"},
    {SessionControl::ButtonSessionWav, "ButtonSessionWav", "MenuSessionWAV"},
    {SessionControl::ButtonSessionEdit, "ButtonSessionEdit", "MenuSessionEdit"},
};

QString qt(const std::string& s) {
  return QString::fromStdString(s);
}

// Sets a text only when it differs, so that typing keeps its cursor.
template <typename Widget>
void showText(Widget* w, const QString& text) {
  if (w->text() != text) w->setText(text);
}

void showColour(QLineEdit* edit, const QPalette& standard, PanelColour colour) {
  QPalette palette = edit->palette();
  const QColor background = colour == PanelColour::Window ? standard.color(QPalette::Base)
                                                          : standard.color(QPalette::Button);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, background);
  edit->setPalette(palette);
}

}  // namespace

void TFormMain::wireSession() {
  SessionController& sessions = services_.sessions.sessions;
  // The panel state decides these controls, Stop and the memo included.
  for (Command c : {Command::SessionStop, Command::MemoCueLabels})
    commandControls_[static_cast<std::size_t>(c)] = {};

  auto on = [this](const char* button, const char* action, auto handler) {
    if (auto* b = findChild<QPushButton*>(button)) connect(b, &QPushButton::clicked, this, handler);
    if (action != nullptr)
      if (auto* a = findChild<QAction*>(action)) connect(a, &QAction::triggered, this, handler);
  };
  on("ButtonOpenSessionFile", "MenuSessionOpen", [&sessions] { sessions.openSession(""); });
  on("ButtonCloseSessionFile", "MenuSessionNew", [&sessions] { sessions.closeSession(); });
  on("ButtonSaveSessionFile", "MenuSessionSave", [&sessions] { sessions.saveSession(false); });
  on("ButtonSessionRec", "MenuSessionRecord", [&sessions] { sessions.toggleRecordMode(); });
  on("ButtonSessionPlay", "MenuSessionPlay", [this] { controller_.playSession(); });
  on("ButtonSessionPlaySeq", "MenuSessionEVP", [this] { controller_.playCurrentEvp(); });
  on("ButtonSessionStop", "MenuSessionStop", [this] { services_.playback.stopReplay(); });
  on("ButtonSessionPrev", "MenuSessionPrev", [&sessions] { sessions.previousEvp(); });
  on("ButtonSessionNext", "MenuSessionNext", [&sessions] { sessions.nextEvp(); });
  on("ButtonSessionWav", "MenuSessionWAV", [&sessions] { sessions.exportEvpAsWav(); });
  on("ButtonSessionEdit", "MenuSessionEdit", [&sessions] { sessions.openEvpInEditor(); });
  on("", "MenuSessionExportProvenance", [&sessions] { sessions.exportProvenance(); });
  on("", "PopupMenuEditSelect", [&sessions] { sessions.selectEditor(); });
  on("", "PopupMenuEditDefault", [&sessions] { sessions.useDefaultEditor(); });
  auto* question = findChild<QLineEdit*>("EditQuestion");
  auto* answer = findChild<QLineEdit*>("EditAnswer");
  connect(question, &QLineEdit::textChanged, this,
          [&sessions](const QString& text) { sessions.questionEdited(text.toStdString()); });
  connect(answer, &QLineEdit::textChanged, this,
          [&sessions](const QString& text) { sessions.answerEdited(text.toStdString()); });

  auto* prompt = new TFormSessionEdit(this);
  sessions.askQuestion = [this, prompt](const std::string& label) {
    return prompt->ask(qt(label), this);
  };
  sessions.onChanged = [this] { showSessionPanel(); };
  sessions.refreshSessionDisplay();
  sessions.updateSessionControls(services_.states.commands().sessionControlsMode);
}

void TFormMain::showSessionPanel() {
  const SessionPanel& panel = services_.sessions.sessions.panel;
  auto* recordMode = findChild<QLabel*>("LabelSessionRecordMode");
  recordMode->setText(qt(panel.recordModeText));
  recordMode->setAutoFillBackground(panel.recordModeOpaque);
  showText(findChild<QLineEdit*>("EditSessionFile"), qt(panel.sessionFile));
  showText(findChild<QLineEdit*>("EditDateTime"), qt(panel.dateTime));
  showText(findChild<QLineEdit*>("EditSequence"), qt(panel.sequence));
  auto* question = findChild<QLineEdit*>("EditQuestion");
  auto* answer = findChild<QLineEdit*>("EditAnswer");
  showText(question, qt(panel.question));
  showText(answer, qt(panel.answer));
  if (memoCueLabels_->toPlainText() != qt(panel.cueLabels))
    memoCueLabels_->setPlainText(qt(panel.cueLabels));
  for (const SessionControlNames& n : kSessionControls) {
    const bool enabled = panel[n.control];
    if (auto* w = findChild<QWidget*>(n.widget)) w->setEnabled(enabled);
    if (n.action != nullptr)
      if (auto* a = findChild<QAction*>(n.action)) a->setEnabled(enabled);
  }
  // Only a record captured in this run has its provenance; one read from a file has none.
  if (auto* provenance = findChild<QAction*>("MenuSessionExportProvenance"))
    provenance->setEnabled(panel[SessionControl::ButtonSessionWav] &&
                           services_.sessions.sessions.currentHasProvenance());
  auto* record = findChild<QAction*>("MenuSessionRecord");
  record->setCheckable(true);
  record->setChecked(panel.recordChecked);
  showColour(question, palette(), panel.questionColour);
  showColour(answer, palette(), panel.answerColour);
}

}  // namespace voxloom
