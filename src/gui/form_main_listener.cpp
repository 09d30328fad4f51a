// The machine listener: its Extras items, its status-bar panel with a Cancel button, and
// the words beside the session's answer.
#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include "gui/form_main.h"
#include "gui/status_panels.h"

namespace voxloom {

void TFormMain::buildListenerPanel() {
  listenerPanel_ = new CompactLabel(this);
  listenerPanel_->setObjectName("StatusBarListener");
  listenerPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  listenerCancel_ = new QToolButton(this);
  listenerCancel_->setObjectName("ButtonListenerCancel");
  listenerCancel_->setText("Cancel");
  listenerCancel_->setToolTip("Stop the machine listener (Esc)");
  listenerCancel_->setShortcut(Qt::Key_Escape);
  statusBar()->addPermanentWidget(listenerPanel_);
  statusBar()->addPermanentWidget(listenerCancel_);
  listenerPanel_->hide();
  listenerCancel_->hide();
}

void TFormMain::wireListener() {
  ListenerService& listener = services_.listener;
  connect(listenerCancel_, &QToolButton::clicked, this, [&listener] { listener.cancel(); });
  listener.onProgress = [this] { refreshListener(); };
  connect(commandControls_[static_cast<std::size_t>(Command::Listen)].action, &QAction::triggered,
          this, [&listener] { listener.command(); });
  connect(commandControls_[static_cast<std::size_t>(Command::AddHeardCues)].action,
          &QAction::triggered, this, [this] { services_.document.addHeardWordsAsCues(); });
  refreshListener();
}

void TFormMain::refreshListener() {
  const ListenerService& listener = services_.listener;
  const QString text = QString::fromStdString(listener.statusText());
  listenerPanel_->setWholeText(text);
  listenerPanel_->setVisible(!text.isEmpty());
  listenerCancel_->setVisible(listener.running());
  QAction* item = commandControls_[static_cast<std::size_t>(Command::Listen)].action;
  const QString tip = listener.running() ? QString("Click again to cancel the listening")
                      : listener.available()
                          ? QString("Lists the words a speech recogniser hears in the signal")
                          : QString::fromStdString(listener.unavailableText());
  item->setToolTip(tip);
  item->setStatusTip(tip);
}

}  // namespace voxloom
