#pragma once

#include <string>

#include "core/ports/prompter.h"
#include "core/settings/device_lists.h"
#include "core/settings/settings.h"

namespace voxloom {

// The settings file: the values each service has bound, the device lists and the
// options that say when the file is written.
class SettingsService {
 public:
  explicit SettingsService(Prompter& prompter);
  SettingsService(const SettingsService&) = delete;
  SettingsService& operator=(const SettingsService&) = delete;

  Settings settings;
  DeviceLists devices;                 // the settings dialog's device lists
  std::string path;                    // empty: settings are neither read nor written
  bool saveOnExit = true;              // CheckBoxSaveOnExit
  bool restoreWindowPosition = false;  // CheckBoxRestWinPos

  // Reads the file into the bound owners; a file that cannot be read is reported.
  void load();
  // Writes the file; with `report` a failure shows its message.
  bool save(bool report);

 private:
  Prompter& prompter_;
};

}  // namespace voxloom
