#pragma once

#include <functional>

namespace voxloom {

// A tool window switched from the Extras menu: the item's check mark, whether the window
// is shown, and where it sits. Plain fields, so the settings can fill and read them.
struct ToolWindowState {
  bool checked = false;  // the menu item's check mark
  bool visible = false;  // the window is shown
  int left = -1;         // position on the screen; -1: the window system decides
  int top = -1;

  // The window shows `visible` again.
  std::function<void()> changed;
  // The menu shows `checked` again.
  std::function<void()> checkChanged;

  // The menu command: flips the check mark, then shows the window or closes it.
  void toggle();
  // Shown when checked, closed otherwise (start-up).
  void showIfChecked();
  // The user (or the window's own Close item) closed it. While the main window closes
  // the mark stays, so that the settings remember the windows that were open.
  void closedByUser(bool mainWindowOpen);
  // The main window closes: the window goes, its mark stays.
  void closeWithMainWindow();

 private:
  void setVisible(bool shown);
};

}  // namespace voxloom
