#include "gui/help_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace voxloom {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("HelpWindow");
  setWindowTitle("Voxloom Help");
  // A reference beside the main window, not a question: it must not block it.
  setModal(false);
  note_ = new QLabel(this);
  note_->setObjectName("LabelHelpNote");
  note_->setWordWrap(true);
  note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("TextBrowserHelp");
  // Links to other sites go to the desktop; links between help pages stay here.
  browser_->setOpenExternalLinks(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* column = new QVBoxLayout(this);
  column->addWidget(note_);
  column->addWidget(browser_, 1);
  column->addWidget(buttons);
  resize(720, 560);
}

void HelpWindow::showPage(const QString& path, const QString& note) {
  note_->setText(note);
  browser_->setSource(QUrl::fromLocalFile(path));
  show();
  raise();
  activateWindow();
}

}  // namespace voxloom
