// The "EVP Session" panel and the Session menu: they forward to the session logic and
// show the panel state it keeps.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "gui/form_main.h"
#include "gui/status_panels.h"

namespace voxloom {

namespace {

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

  auto on = [this](SessionControl control, auto handler) {
    const CommandPair& pair = session_.controls[static_cast<std::size_t>(control)];
    connect(qobject_cast<QPushButton*>(pair.widget), &QPushButton::clicked, this, handler);
    connect(pair.action, &QAction::triggered, this, handler);
  };
  using C = SessionControl;
  on(C::ButtonOpenSessionFile, [&sessions] { sessions.openSession(""); });
  on(C::ButtonCloseSessionFile, [&sessions] { sessions.closeSession(); });
  on(C::ButtonSaveSessionFile, [&sessions] { sessions.saveSession(false); });
  on(C::ButtonSessionRec, [&sessions] { sessions.toggleRecordMode(); });
  on(C::ButtonSessionPlay, [this] { controller_.playSession(); });
  on(C::ButtonSessionPlaySeq, [this] { controller_.playCurrentEvp(); });
  on(C::ButtonSessionStop, [this] { services_.playback.stopReplay(); });
  on(C::ButtonSessionPrev, [&sessions] { sessions.previousEvp(); });
  on(C::ButtonSessionNext, [&sessions] { sessions.nextEvp(); });
  on(C::ButtonSessionWav, [&sessions] { sessions.exportEvpAsWav(); });
  on(C::ButtonSessionEdit, [&sessions] { sessions.openEvpInEditor(); });
  connect(session_.exportProvenance, &QAction::triggered, this,
          [&sessions] { sessions.exportProvenance(); });
  connect(session_.selectEditor, &QAction::triggered, this,
          [&sessions] { sessions.selectEditor(); });
  connect(session_.defaultEditor, &QAction::triggered, this,
          [&sessions] { sessions.useDefaultEditor(); });
  connect(session_.question, &QLineEdit::textChanged, this,
          [&sessions](const QString& text) { sessions.questionEdited(text.toStdString()); });
  connect(session_.answer, &QLineEdit::textChanged, this,
          [&sessions](const QString& text) { sessions.answerEdited(text.toStdString()); });

  sessions.onChanged = [this] { showSessionPanel(); };
  sessions.refreshSessionDisplay();
  sessions.updateSessionControls(services_.states.commands().sessionControlsMode);
}

void TFormMain::showSessionPanel() {
  const SessionPanel& panel = services_.sessions.sessions.panel;
  session_.recordMode->setText(qt(panel.recordModeText));
  session_.recordMode->setAutoFillBackground(panel.recordModeOpaque);
  showText(session_.file, qt(panel.sessionFile));
  showText(session_.dateTime, qt(panel.dateTime));
  showText(session_.sequence, qt(panel.sequence));
  showText(session_.question, qt(panel.question));
  showText(session_.answer, qt(panel.answer));
  const QString heard =
      panel.heardWords.empty() ? QString() : "Machine listener heard: " + qt(panel.heardWords);
  session_.heardWords->setWholeText(heard);
  session_.heardWords->setVisible(!heard.isEmpty());
  if (memoCueLabels_->toPlainText() != qt(panel.cueLabels))
    memoCueLabels_->setPlainText(qt(panel.cueLabels));
  for (std::size_t i = 0; i < kSessionControlCount; ++i) {
    const bool enabled = panel[static_cast<SessionControl>(i)];
    const CommandPair& pair = session_.controls[i];
    pair.widget->setEnabled(enabled);
    if (pair.action != nullptr) pair.action->setEnabled(enabled);
  }
  // Only a record captured in this run has its provenance; one read from a file has none.
  session_.exportProvenance->setEnabled(panel[SessionControl::ButtonSessionWav] &&
                                        services_.sessions.sessions.currentHasProvenance());
  QAction* record =
      session_.controls[static_cast<std::size_t>(SessionControl::ButtonSessionRec)].action;
  record->setChecked(panel.recordChecked);
  showColour(session_.question, palette(), panel.questionColour);
  showColour(session_.answer, palette(), panel.answerColour);
}

}  // namespace voxloom
