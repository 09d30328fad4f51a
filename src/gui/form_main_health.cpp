// The status bar: the document's panels, the source and health panels, and the notice of
// a run's first failure.
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "core/app/command_state.h"
#include "gui/form_main.h"
#include "gui/status_panels.h"

namespace voxloom {

namespace {

constexpr int kHealthRefreshMs = 250;  // the tests see every value; the panel need not
constexpr int kNoticeShownMs = 20000;
const char* const kHealthHint =
    "Continuous health tests on the raw values of the random source (per Make EVP run)";

constexpr int kHealthPanelWidth = 120;

// The panel names no test: with "failing: repetition (1234 failures)" the bar has no room
// for the document's panels at the default width. The tip's last line has the whole text.
QString healthPanelText(const HealthReading& reading, const std::string& whole) {
  const bool failing = reading.state == HealthState::FailingRepetition ||
                       reading.state == HealthState::FailingProportion;
  if (!failing) return QString::fromStdString(whole);
  QString text = "Health: failing";
  if (reading.failureCount > 0)
    text += QString(" (%1 %2)")
                .arg(reading.failureCount)
                .arg(reading.failureCount == 1 ? "failure" : "failures");
  return text;
}

template <typename Label>
Label* addPanel(QStatusBar* bar, const char* name, int minimumWidth) {
  auto* panel = new Label(bar);
  panel->setObjectName(name);
  panel->setMinimumWidth(minimumWidth);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // Permanent: a status message (the failure notice) must not hide the red panel.
  bar->addPermanentWidget(panel);
  return panel;
}

}  // namespace

void TFormMain::buildStatusBar() {
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setMinimumWidth(kStatusPanelWidths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPanels_[i] = panel;
    // The last panel takes the rest of the bar.
    statusBar()->addWidget(panel, i == 2 ? 1 : 0);
  }
  buildHealthPanels();
}

void TFormMain::buildHealthPanels() {
  sourcePanel_ = addPanel<CompactLabel>(statusBar(), "StatusBarSource", 0);
  healthPanel_ = addPanel<QLabel>(statusBar(), "StatusBarHealth", kHealthPanelWidth);
  healthTip_ = kHealthHint;
  healthTimer_ = new QTimer(this);
  healthTimer_->setInterval(kHealthRefreshMs);
  connect(healthTimer_, &QTimer::timeout, this, &TFormMain::refreshHealth);
}

void TFormMain::refreshHealth() {
  const RandomSources& random = services_.playback.parts.random;
  const bool makingEvp = services_.states.state() == kStateMakingEvp;
  sourcePanel_->setWholeText(QString::fromStdString(sourceIndicatorText(random.randomKind)));
  const bool logged = random.log.logEnabled && random.log.isOpen();
  const HealthReading reading = readHealth(random.health, logged);
  const HealthIndicator::Shown shown = healthIndicator_.refresh(reading, makingEvp);
  const QString panelText = healthPanelText(reading, shown.text);
  healthPanel_->setText(panelText);
  keepWholeText(healthPanel_, kHealthPanelWidth);
  if (shown.alarm != healthPanel_->property("alarm").toBool()) {
    healthPanel_->setProperty("alarm", shown.alarm);
    healthPanel_->setStyleSheet(shown.alarm ? "QLabel { background: #c00000; color: white; }" : "");
    if (!shown.alarm) healthTip_ = kHealthHint;
  }
  if (!shown.notice.empty()) {
    // Non-modal: the run goes on. The bar has room for the short form only; the panel's
    // tip keeps the whole text after the message goes.
    statusBar()->showMessage(QString::fromStdString(healthNoticeBrief(reading)), kNoticeShownMs);
    healthTip_ = QString::fromStdString(shown.notice);
  }
  const QString whole = QString::fromStdString(shown.text);
  healthPanel_->setToolTip(panelText == whole ? healthTip_ : healthTip_ + "\n" + whole);
  // Blocks are drawn while Make EVP runs: follow them; otherwise only changes refresh.
  if (makingEvp && !healthTimer_->isActive()) healthTimer_->start();
  if (!makingEvp) healthTimer_->stop();
}

}  // namespace voxloom
