#pragma once

#include <cstdint>

#include "core/random/random_source.h"
#include "core/random/random_source_kind.h"

namespace voxloom {

// TrackBarRandom spans 0..kManualSliderMax; the whole range maps onto 0..n-1.
inline constexpr std::int32_t kManualSliderMax = 2147483647;

// The manual sweep's draw: the slider's position now, scaled; the position is the raw value.
RawDraw drawManual(std::int32_t position, std::int32_t n);

// Whether the user closing TFormManualRandom stops playback: only while an EVP is being
// made with the manual source. Otherwise closing only hides the window.
bool closingManualStopsPlayback(bool makingEvp, RandomSourceKind kind);

}  // namespace voxloom
