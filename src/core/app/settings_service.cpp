#include "core/app/settings_service.h"

namespace voxloom {

namespace {

void bindDevice(Settings& s, DeviceLists& lists, const char* indexKey, const char* nameKey,
                DeviceChoice& choice) {
  s.bindInt(
      indexKey, [&choice] { return choice.storedIndex; },
      [&choice](int v) { choice.storedIndex = v; });
  // The name comes second, so the choice is resolved once both are known.
  s.bindText(
      nameKey, [&choice] { return choice.storedName; },
      [&lists, &choice](const std::string& v) {
        choice.storedName = v;
        lists.resolve(choice);
      });
}

}  // namespace

SettingsService::SettingsService(Prompter& prompter) : prompter_(prompter) {
  settings.bindBool("SaveOnExit", saveOnExit);
  settings.bindBool("RestWinPos", restoreWindowPosition);
  bindDevice(settings, devices, "DevicePlayback", "DevicePlaybackName", devices.playback);
  bindDevice(settings, devices, "DeviceRecord", "DeviceRecordName", devices.record);
  bindDevice(settings, devices, "DeviceRandomSource", "DeviceRandomSourceName",
             devices.randomSource);
  bindDevice(settings, devices, "DeviceLiveAudioSource", "DeviceLiveAudioSourceName",
             devices.liveSource);
}

void SettingsService::load() {
  if (path.empty()) return;
  const std::string problem = settings.load(path);
  if (!problem.empty()) prompter_.error(problem);
}

bool SettingsService::save(bool report) {
  if (path.empty()) return false;
  // Loading said so once already; at exit that is enough.
  if (settings.keepsUnread(path)) {
    if (report) prompter_.error(settingsKeptUnreadText(path));
    return false;
  }
  if (settings.save(path)) return true;
  if (report) prompter_.error(settingsWriteError(path));
  return false;
}

}  // namespace voxloom
