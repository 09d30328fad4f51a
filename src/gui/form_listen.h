#pragma once

#include <QDialog>

#include "core/app/listener_service.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace voxloom {

// "Machine listener": what to listen to, an optional word list and the least confidence
// of a word kept.
class TFormListen : public QDialog, public ListenDialog {
  Q_OBJECT

 public:
  explicit TFormListen(QWidget* owner = nullptr);

  bool ask(ListenChoices& choices, const std::string& recordText) override;

 private:
  QRadioButton* onDocument_ = nullptr;
  QRadioButton* onRecord_ = nullptr;
  QLineEdit* wordList_ = nullptr;
  QSpinBox* minConfidence_ = nullptr;
};

}  // namespace voxloom
