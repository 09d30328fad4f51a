#include "platform/qt_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>

namespace voxloom {

namespace {

QString fromUtf8(const std::string& s) {
  return QString::fromStdString(s);
}

QString qtPatterns(const QString& windowsPatterns) {
  QStringList patterns;
  for (QString p : windowsPatterns.split(';', Qt::SkipEmptyParts)) {
    p = p.trimmed();
    if (p == "*.*") p = "*";
    if (!p.isEmpty()) patterns << p;
  }
  return patterns.join(' ');
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
    case MessageIcon::Stop:
      return QMessageBox::Critical;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Info:
      break;
  }
  return QMessageBox::Information;
}

QWidget* dialogParent() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  // Until the desktop activates the main window (or with no window manager at all), a
  // box still belongs over it rather than alone on the screen.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && qobject_cast<QMainWindow*>(w) != nullptr) return w;
  return nullptr;
}

}  // namespace

QString qtFileFilter(const std::string& pipeFilter) {
  const QStringList parts = fromUtf8(pipeFilter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = qtPatterns(parts[i + 1]);
    // Qt reads the patterns from the parentheses, so the description's own list
    // is replaced by the converted one.
    const qsizetype open = description.lastIndexOf('(');
    if (open >= 0 && description.endsWith(')')) description = description.left(open).trimmed();
    filters << QStringLiteral("%1 (%2)").arg(description, patterns);
  }
  return filters.join(";;");
}

Answer QtPrompter::message(const std::string& title, const std::string& text, MessageIcon icon,
                           MessageButtons buttons) {
  QMessageBox box(qtIcon(icon), fromUtf8(title), fromUtf8(text), QMessageBox::NoButton,
                  dialogParent());
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::RetryCancel:
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  // A box that is waited on must show the normal cursor even during a long operation.
  const bool busy = busyDepth_ > 0;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = box.exec();
  if (busy) QApplication::restoreOverrideCursor();
  switch (result) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Retry:
      return Answer::Retry;
    default:
      // Closing the box by its frame counts as Cancel (an OK-only box has nothing else).
      return buttons == MessageButtons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

std::optional<std::string> QtPrompter::runFileDialog(const FileDialogSpec& spec, bool save) {
  QFileDialog dialog(dialogParent(), fromUtf8(spec.title), fromUtf8(spec.initialFolder),
                     qtFileFilter(spec.filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !spec.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QString suffix = fromUtf8(spec.defaultExtension);
  while (suffix.startsWith('*') || suffix.startsWith('.')) suffix.remove(0, 1);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  if (!spec.fileName.empty()) dialog.selectFile(fromUtf8(spec.fileName));
  if (save && !spec.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  const bool busy = busyDepth_ > 0;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (busy) QApplication::restoreOverrideCursor();
  if (!accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtPrompter::chooseOpenFile(const FileDialogSpec& spec) {
  return runFileDialog(spec, false);
}

std::optional<std::string> QtPrompter::chooseSaveFile(const FileDialogSpec& spec) {
  return runFileDialog(spec, true);
}

void QtPrompter::setBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

}  // namespace voxloom
