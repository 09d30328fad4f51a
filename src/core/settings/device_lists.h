#pragma once

#include <string>

#include "core/ports/wave_device_list.h"

namespace voxloom {

// One device list's choice. The stored index and name are what the settings file
// holds; `selected` is the list position in use now (-1: the system's default device).
// A stored device that is missing at this run keeps its stored values, so it is found
// again when it comes back.
struct DeviceChoice {
  int storedIndex = 0;
  std::string storedName;
  int selected = kWaveDefaultDevice;
};

// The list position for a stored choice: the device of that name (the stored index
// first, should several share it), or the stored index when no name is stored (files
// of older versions); -1 when the list has neither.
int findDevice(const WaveDeviceNames& names, int storedIndex, const std::string& storedName);

// The settings dialog's four device lists: the playback list shows the output devices,
// the record, random-source and live-source lists the input devices.
struct DeviceLists {
  WaveDeviceNames outputs;
  WaveDeviceNames inputs;
  DeviceChoice playback;      // ComboBoxDevicePlayback
  DeviceChoice record;        // ComboBoxDeviceRecord
  DeviceChoice randomSource;  // ComboBoxDeviceRandomSource
  DeviceChoice liveSource;    // ComboBoxDeviceLiveAudioSource

  // The devices present now; nothing is selected until the settings are applied.
  void fillDeviceLists(WaveDeviceNames outputNames, WaveDeviceNames inputNames);
  const WaveDeviceNames& namesFor(const DeviceChoice& choice) const {
    return &choice == &playback ? outputs : inputs;
  }
  // Applies the stored index and name read from the settings.
  void resolve(DeviceChoice& choice);
  // The user picks list position `index` (-1: none).
  void choose(DeviceChoice& choice, int index);
};

}  // namespace voxloom
