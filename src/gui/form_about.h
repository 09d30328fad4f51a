#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

class QLabel;

namespace voxloom {

// Top-left corner that centres a box of `box` size over `owner`; the halves are
// truncated toward zero, so a box wider than its owner sits symmetrically too.
QPoint centredOver(const QRect& owner, const QSize& box);

// The about box: a picture with the name, the version and "Freeware"; any click closes it.
class TFormAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TFormAbout(QWidget* owner = nullptr);

  // Appends " <version>" to the version label (once, when the main window first shows).
  void applyVersion(const QString& version);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* labelVersion_ = nullptr;
};

}  // namespace voxloom
