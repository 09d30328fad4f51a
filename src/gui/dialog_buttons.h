#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QString>

namespace voxloom {

// The right-aligned row of a modal form's default button (ButtonOK, accepts) and
// ButtonCancel (rejects).
QHBoxLayout* makeOkCancelRow(QDialog* dialog, const QString& okCaption = "&OK");

}  // namespace voxloom
