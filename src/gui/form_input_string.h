#pragma once

#include <QDialog>

#include "core/random/internet_source.h"

class QComboBox;

namespace voxloom {

// "Internet Random Number Service": the URL template to use, from an editable list.
// A view of the ServiceUrlForm it is bound to.
class TFormInputString : public QDialog {
  Q_OBJECT

 public:
  explicit TFormInputString(QWidget* owner = nullptr);

  void bind(ServiceUrlForm* form);
  void refresh();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ServiceUrlForm* form_ = nullptr;
  QComboBox* comboBoxUrl_ = nullptr;
};

}  // namespace voxloom
