#include "gui/form_session_edit.h"
#include "gui/dialog_buttons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace voxloom {

TFormSessionEdit::TFormSessionEdit(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("FormSessionEdit");
  setWindowTitle("EVP Session");
  setModal(true);
  label1_ = new QLabel(this);
  label1_->setObjectName("Label1");
  editString_ = new QLineEdit(this);
  editString_->setObjectName("EditString");
  editString_->setMinimumWidth(320);

  QHBoxLayout* buttons = makeOkCancelRow(this);
  auto* column = new QVBoxLayout(this);
  column->addWidget(label1_);
  column->addWidget(editString_);
  column->addLayout(buttons);
  setFixedSize(sizeHint());
}

QPoint TFormSessionEdit::centredOver(const QRect& frame) const {
  // Integer division truncates toward zero, also for a prompt wider than the window.
  return {frame.left() + (frame.width() - width()) / 2,
          frame.top() + (frame.height() - height()) / 2};
}

std::optional<std::string> TFormSessionEdit::ask(const QString& label, QWidget* over) {
  label1_->setText(label);
  editString_->clear();
  if (over != nullptr) move(centredOver(over->frameGeometry()));
  if (exec() != QDialog::Accepted) return std::nullopt;
  return editString_->text().toStdString();
}

bool TFormSessionEdit::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) editString_->setFocus();
  return QDialog::event(event);
}

void SessionQuestion::showOver(QWidget* window) {
  window_ = window;
  prompt_ = new TFormSessionEdit(window);
}

std::optional<std::string> SessionQuestion::askQuestion(const std::string& label) {
  if (prompt_ == nullptr || window_ == nullptr) return std::nullopt;
  return prompt_->ask(QString::fromStdString(label), window_);
}

}  // namespace voxloom
