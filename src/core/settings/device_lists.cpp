#include "core/settings/device_lists.h"

namespace voxloom {

int findDevice(const WaveDeviceNames& names, int storedIndex, const std::string& storedName) {
  const int count = static_cast<int>(names.size());
  const bool indexValid = storedIndex >= 0 && storedIndex < count;
  if (storedName.empty()) return indexValid ? storedIndex : kWaveDefaultDevice;
  if (indexValid && names[static_cast<std::size_t>(storedIndex)] == storedName) return storedIndex;
  for (int i = 0; i < count; ++i)
    if (names[static_cast<std::size_t>(i)] == storedName) return i;
  return kWaveDefaultDevice;
}

void DeviceLists::fillDeviceLists(WaveDeviceNames outputNames, WaveDeviceNames inputNames) {
  outputs = std::move(outputNames);
  inputs = std::move(inputNames);
}

void DeviceLists::resolve(DeviceChoice& choice) {
  const WaveDeviceNames& names = namesFor(choice);
  choice.selected = findDevice(names, choice.storedIndex, choice.storedName);
  if (choice.selected >= 0) {
    choice.storedIndex = choice.selected;
    choice.storedName = names[static_cast<std::size_t>(choice.selected)];
  }
}

void DeviceLists::choose(DeviceChoice& choice, int index) {
  const WaveDeviceNames& names = namesFor(choice);
  if (index < 0 || index >= static_cast<int>(names.size())) index = kWaveDefaultDevice;
  choice.selected = index;
  choice.storedIndex = index;
  choice.storedName = index >= 0 ? names[static_cast<std::size_t>(index)] : std::string();
}

}  // namespace voxloom
