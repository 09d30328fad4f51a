#include "core/random/source_decorators.h"

#include <string>

namespace voxloom {

RawDraw LoggedSource::draw(std::int32_t n) {
  const RawDraw d = inner_.draw(n);
  if (d.hasValue() && log_.wanted()) {  // formatting costs more than most draws
    const std::string text = rawText(d);
    if (log_.trace != nullptr) log_.trace->raw.push_back(text);
    log_.logRandomValue(text);
  }
  // A failed draw's 0 is kept too: the block was made with it.
  if (log_.trace != nullptr) log_.trace->mapped.push_back(d.mapped);
  return d;
}

RawDraw HealthCheckedSource::draw(std::int32_t n) {
  const std::int64_t failuresBefore = health_.failureCount();
  const RawDraw d = inner_.draw(n);
  if (d.hasValue() && d.counted) note(d);
  if (health_.failureCount() != failuresBefore && log_.logEnabled) {
    log_.logComment(std::string("health test failed: ") +
                    (health_.lastFailureRepetition() ? "repetition" : "proportion") + " at draw " +
                    std::to_string(health_.draws() + 1));
  }
  health_.endDraw();
  return d;
}

void HealthCheckedSource::note(const RawDraw& d) {
  if (!d.samples.empty()) {
    for (const std::int16_t s : d.samples) health_.noteValue(static_cast<std::uint16_t>(s));
    return;
  }
  switch (unit_) {
    case HealthUnit::None:
      break;
    case HealthUnit::Whole:
      health_.noteValue(d.bits >= 32 ? d.value : d.value & ((std::uint32_t{1} << d.bits) - 1));
      break;
    case HealthUnit::Bits:
      health_.noteBits(d.value, d.bits);
      break;
    case HealthUnit::Bytes:
      for (int shift = 24; shift >= 0; shift -= 8) health_.noteValue((d.value >> shift) & 0xFFu);
      break;
  }
}

}  // namespace voxloom
