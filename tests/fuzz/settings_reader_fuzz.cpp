// libFuzzer target: any byte string as a settings file, read and saved twice. A crash or
// a hang fails; a second save that differs from the first (values with control bytes
// can still change) is left to the replayed corpus, which must survive it.
#include <cstddef>
#include <cstdint>

#include "settings_roundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static_cast<void>(voxloom::test::settingsSurviveSaving(text));
  return 0;
}
