#pragma once

#include <QPoint>

class QWidget;

namespace voxloom {

class Settings;
class TFormMain;

// The settings values that only the windows know: where the main and level windows
// are, and the cue-label font. Binds them to their keys; must outlive the settings.
class WindowSettings {
 public:
  WindowSettings(TFormMain* mainWindow, QWidget* levelWindow);
  void bind(Settings& settings);
  // The manual sweep's slider window: its place and client size.
  static void bindManualWindow(Settings& settings, QWidget* manualWindow);

  // Moves a window that lies off every screen back onto the nearest one.
  static void keepOnScreen(QWidget* window);

 private:
  QWidget* main_;
  QWidget* level_;
  QWidget* memo_;  // MemoCueLabels
  int cueLabelCharset_ = 1;
  int levelLeft_ = 0;
  bool levelPlaced_ = false;  // kept for the file; fonts here have no character sets
};

}  // namespace voxloom
