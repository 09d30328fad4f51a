#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>

#include "core/ports/question_prompt.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace voxloom {

// The question prompt of a new EVP: a label, one text field, OK and Cancel.
class TFormSessionEdit : public QDialog {
  Q_OBJECT

 public:
  explicit TFormSessionEdit(QWidget* parent = nullptr);

  // Shows the prompt modally, centred over `over`; the entered text, or nothing when it
  // was not confirmed with OK.
  std::optional<std::string> ask(const QString& label, QWidget* over);

  // Where the prompt goes when shown over a window at `frame`.
  QPoint centredOver(const QRect& frame) const;

  QLabel* label1() const { return label1_; }
  QLineEdit* editString() const { return editString_; }

 protected:
  bool event(QEvent* event) override;

 private:
  QLabel* label1_ = nullptr;
  QLineEdit* editString_ = nullptr;
};

// The sessions' question prompt: TFormSessionEdit over the main window. It is built
// before the window and outlives it; until a window is given, and after it is gone,
// every question counts as cancelled.
class SessionQuestion final : public QuestionPrompt {
 public:
  // Makes the prompt a child of `window` and shows it over it.
  void showOver(QWidget* window);
  std::optional<std::string> askQuestion(const std::string& label) override;

 private:
  QPointer<QWidget> window_;
  QPointer<TFormSessionEdit> prompt_;
};

}  // namespace voxloom
