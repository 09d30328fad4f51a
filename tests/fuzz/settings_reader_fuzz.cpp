// libFuzzer target: any byte string as a settings file, read and saved twice; the second
// save must equal the first.
#include <cstddef>
#include <cstdint>

#include "settings_roundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!voxloom::test::settingsSurviveSaving(text)) __builtin_trap();
  return 0;
}
