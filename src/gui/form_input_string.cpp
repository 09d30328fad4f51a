#include "gui/form_input_string.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/form_about.h"

namespace voxloom {

TFormInputString::TFormInputString(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("FormInputString");
  setWindowTitle("Internet Random Number Service");
  setModal(true);

  auto* label = new QLabel(
      "Please enter or select the URL of an Internet random number service (HTTP):", this);
  label->setObjectName("LabelInputText");
  comboBoxUrl_ = new QComboBox(this);
  comboBoxUrl_->setObjectName("ComboBoxUrl");
  comboBoxUrl_->setEditable(true);
  comboBoxUrl_->setInsertPolicy(QComboBox::NoInsert);  // the form decides what joins the list
  comboBoxUrl_->setMinimumWidth(460);

  const OkCancelRow okCancel = makeOkCancelButtons(this);
  QHBoxLayout* buttons = okCancel.row;
  QPushButton* ok = okCancel.ok;
  disconnect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* remove = new QPushButton("Delete", this);
  remove->setObjectName("ButtonDelete");
  remove->setAutoDefault(false);
  buttons->insertWidget(0, remove);

  auto* column = new QVBoxLayout(this);
  column->addWidget(label);
  column->addWidget(comboBoxUrl_);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(ok, &QPushButton::clicked, this, [this] {
    if (form_ != nullptr) {
      form_->text = comboBoxUrl_->currentText().toStdString();
      form_->ok();
    }
    accept();
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    if (form_ == nullptr) return;
    form_->text = comboBoxUrl_->currentText().toStdString();
    form_->deleteText();
    refresh();
  });
}

void TFormInputString::bind(ServiceUrlForm* form) {
  form_ = form;
  refresh();
}

void TFormInputString::refresh() {
  if (form_ == nullptr) return;
  comboBoxUrl_->clear();
  for (const std::string& item : form_->items) comboBoxUrl_->addItem(QString::fromStdString(item));
  comboBoxUrl_->setEditText(QString::fromStdString(form_->text));
}

void TFormInputString::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
}

}  // namespace voxloom
