// libFuzzer target: any byte string through the session reader and writer, from memory.
#include <cstddef>
#include <cstdint>

#include "core/session/session_stamp.h"
#include "session_roundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!voxloom::test::sessionSurvivesSaving(text)) __builtin_trap();
  // Stamps come from the same files.
  const auto content = voxloom::parseSessionText(text);
  for (const auto& record : content.records) {
    voxloom::stampToDisplay(record.dateTime);
    voxloom::stampToFileName(record.dateTime);
  }
  return 0;
}
