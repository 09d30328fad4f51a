#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/app/app_services.h"
#include "tests/support/riff_builder.h"

namespace voxloom::test {

// A window that only notes what it was asked to show again.
class RecordingView : public View {
 public:
  std::vector<ViewAspect> seen;
  void changed(ViewAspect aspect) override { seen.push_back(aspect); }
};

inline std::string wavFile(const std::string& name, std::uint32_t bytes = 64) {
  return writeTempFile(name, simpleWav(1, 16, 8000, bytes));
}

// Opens a fresh WAV file and marks it changed, as an edit would.
inline void loadModified(AppServices& services, const std::string& name) {
  services.openWavFile(wavFile(name));
  ASSERT_TRUE(services.document.document.isLoaded);
  services.document.document.markModified();
  services.states.set(kStateIdle);
}

}  // namespace voxloom::test
