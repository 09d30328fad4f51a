// The waveform view in a splitter below the main window's controls, and the label
// commands' enabled state.
#include <QAction>
#include <QSplitter>

#include "gui/form_main.h"
#include "gui/signal_view_panel.h"

namespace voxloom {

QWidget* TFormMain::withSignalView(QWidget* controls) {
  signalView_ =
      new SignalViewPanel(services_.document.signalView, services_.document.document, this);
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->setObjectName("SplitterSignalView");
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(controls);
  splitter->addWidget(signalView_);
  // The controls keep their height; the view takes what the window grows by.
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({controls->sizeHint().height(), kSignalViewHeight});
  return splitter;
}

void TFormMain::refreshSignalView() {
  if (signalView_ == nullptr) return;
  const bool labels = services_.document.labelsAvailable();
  importLabels_->setEnabled(labels);
  exportLabels_->setEnabled(labels);
  signalView_->refresh();
}

}  // namespace voxloom
