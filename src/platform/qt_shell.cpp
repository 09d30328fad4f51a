#include "platform/qt_shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace voxloom {

bool QtShell::openDocument(const std::string& pathOrUrl) {
  const QString target = QString::fromStdString(pathOrUrl);
  // Anything with a scheme is an address; everything else is a local file.
  const QUrl url =
      target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
  return QDesktopServices::openUrl(url);
}

bool QtShell::startProgram(const std::string& program, const std::string& argument) {
  QStringList arguments;
  if (!argument.empty()) arguments << QString::fromStdString(argument);
  return QProcess::startDetached(QString::fromStdString(program), arguments);
}

bool QtShell::programExists(const std::string& program) {
  return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

}  // namespace voxloom
