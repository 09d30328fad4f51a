#pragma once

namespace voxloom {

// The stored echo parameters (settings section "EFFECTS"). They change only when the
// echo dialog is closed with OK.
struct EchoSettings {
  int delayMs = 100;      // "EchoDelay", 0..1000
  int decayPercent = 50;  // "EchoDecay", 0..100
};

}  // namespace voxloom
