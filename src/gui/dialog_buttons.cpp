#include "gui/dialog_buttons.h"

#include <QPushButton>

namespace voxloom {

QHBoxLayout* makeOkCancelRow(QDialog* dialog, const QString& okCaption) {
  return makeOkCancelButtons(dialog, okCaption).row;
}

OkCancelRow makeOkCancelButtons(QDialog* dialog, const QString& okCaption) {
  auto* ok = new QPushButton(okCaption, dialog);
  ok->setObjectName("ButtonOK");
  ok->setDefault(true);
  auto* cancel = new QPushButton("&Cancel", dialog);
  cancel->setObjectName("ButtonCancel");
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return {row, ok, cancel};
}

}  // namespace voxloom
