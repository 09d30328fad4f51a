// The status bar's source and health panels, and the notice of a run's first failure.
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "core/app/command_state.h"
#include "gui/form_main.h"

namespace voxloom {

namespace {

constexpr int kHealthRefreshMs = 250;  // the tests see every value; the panel need not
constexpr int kNoticeShownMs = 20000;
const char* const kHealthHint =
    "Continuous health tests on the raw values of the random source (per Make EVP run)";

QLabel* addPanel(QStatusBar* bar, const char* name, int minimumWidth) {
  auto* panel = new QLabel(bar);
  panel->setObjectName(name);
  panel->setMinimumWidth(minimumWidth);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // Permanent: a status message (the failure notice) must not hide the red panel.
  bar->addPermanentWidget(panel);
  return panel;
}

}  // namespace

void TFormMain::buildHealthPanels() {
  sourcePanel_ = addPanel(statusBar(), "StatusBarSource", 90);
  healthPanel_ = addPanel(statusBar(), "StatusBarHealth", 120);
  healthPanel_->setToolTip(kHealthHint);
  healthTimer_ = new QTimer(this);
  healthTimer_->setInterval(kHealthRefreshMs);
  connect(healthTimer_, &QTimer::timeout, this, &TFormMain::refreshHealth);
}

void TFormMain::refreshHealth() {
  const RandomSources& random = services_.playback.parts.random;
  const bool makingEvp = services_.states.state() == kStateMakingEvp;
  sourcePanel_->setText(QString::fromStdString(sourceIndicatorText(random.randomKind)));
  const bool logged = random.log.logEnabled && random.log.isOpen();
  const HealthReading reading = readHealth(random.health, logged);
  const HealthIndicator::Shown shown = healthIndicator_.refresh(reading, makingEvp);
  healthPanel_->setText(QString::fromStdString(shown.text));
  if (shown.alarm != healthPanel_->property("alarm").toBool()) {
    healthPanel_->setProperty("alarm", shown.alarm);
    healthPanel_->setStyleSheet(shown.alarm ? "QLabel { background: #c00000; color: white; }" : "");
    if (!shown.alarm) healthPanel_->setToolTip(kHealthHint);
  }
  if (!shown.notice.empty()) {
    // Non-modal: the run goes on. The bar has room for the short form only; the panel's
    // tip keeps the whole text after the message goes.
    statusBar()->showMessage(QString::fromStdString(healthNoticeBrief(reading)), kNoticeShownMs);
    healthPanel_->setToolTip(QString::fromStdString(shown.notice));
  }
  // Blocks are drawn while Make EVP runs: follow them; otherwise only changes refresh.
  if (makingEvp && !healthTimer_->isActive()) healthTimer_->start();
  if (!makingEvp) healthTimer_->stop();
}

}  // namespace voxloom
