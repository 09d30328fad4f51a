#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QString>

class QPushButton;

namespace voxloom {

// The right-aligned row of a modal form's default button (ButtonOK, accepts) and
// ButtonCancel (rejects).
QHBoxLayout* makeOkCancelRow(QDialog* dialog, const QString& okCaption = "&OK");

// The same row with its buttons, for a form that wires OK itself.
struct OkCancelRow {
  QHBoxLayout* row = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};
OkCancelRow makeOkCancelButtons(QDialog* dialog, const QString& okCaption = "&OK");

}  // namespace voxloom
