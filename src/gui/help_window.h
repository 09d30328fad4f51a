#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTextBrowser;

namespace voxloom {

// The bundled HTML help in a window of the program's own, for desktops that cannot open
// it: a note saying why and where the file is, and the page itself.
class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows `path` (raising the window when it is already open).
  void showPage(const QString& path, const QString& note);

 private:
  QLabel* note_ = nullptr;
  QTextBrowser* browser_ = nullptr;
};

}  // namespace voxloom
