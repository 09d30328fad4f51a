#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace voxloom::test {

// Runs `act` on the next modal window once it is really showing. Should none show up, or
// should windows stay open after `act`, every modal window is closed after `timeoutMs`,
// so a test fails instead of hanging the suite.
inline void whenModalShows(std::function<void(QWidget*)> act, int timeoutMs = 5000) {
  struct State {
    std::function<void(QWidget*)> act;
    bool acted = false;
    bool failed = false;
    int waited = 0;
  };
  auto state = std::make_shared<State>();
  state->act = std::move(act);
  // Owned by the application, so a poll still pending when the program ends is freed.
  auto* poll = new QTimer(QCoreApplication::instance());
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, state, timeoutMs] {
    QWidget* modal = QApplication::activeModalWidget();
    state->waited += poll->interval();
    if (!state->acted && modal != nullptr && modal->isVisible()) {
      state->acted = true;
      state->act(modal);
    } else if (modal == nullptr && (state->acted || state->failed)) {
      poll->stop();
      poll->deleteLater();
    } else if (state->waited > timeoutMs) {
      if (!state->failed) {
        ADD_FAILURE() << (state->acted ? "a modal window stayed open"
                                       : "no modal window showed up");
        state->failed = true;
      }
      if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
      } else if (modal != nullptr) {
        modal->close();
      }
    }
  });
  poll->start();
}

}  // namespace voxloom::test
