#pragma once

#include <array>

namespace voxloom {

// Cross-fade shapes; the value is persisted ("FadingMode"). Any other value fades like
// Linear.
enum class FadeMode : int {
  Linear = 0,
  Sine = 1,
  SineHalfWave = 2,
  Trapezoid10 = 3,
  Trapezoid20 = 4,
  Trapezoid30 = 5,
  Trapezoid40 = 6,
  Trapezoid50 = 7,
  Trapezoid60 = 8,
  Trapezoid70 = 9,
  Trapezoid80 = 10,
  Trapezoid90 = 11,
};
inline constexpr int kFadeModeCount = 12;

struct FadeMenuItem {
  const char* menuItem;
  const char* caption;
};
// The radio items of PopupMenuFade, indexed by mode.
inline constexpr std::array<FadeMenuItem, kFadeModeCount> kFadeMenuItems = {{
    {"PopupMenuFadeLinear", "&Linear"},
    {"PopupMenuFadeSine", "&Sine"},
    {"PopupMenuFadeSineHalf", "Sine &half-wave"},
    {"PopupMenuFadeTrapez10", "Trapezoid &10%"},
    {"PopupMenuFadeTrapez20", "Trapezoid &20%"},
    {"PopupMenuFadeTrapez30", "Trapezoid &30%"},
    {"PopupMenuFadeTrapez40", "Trapezoid &40%"},
    {"PopupMenuFadeTrapez50", "Trapezoid &50%"},
    {"PopupMenuFadeTrapez60", "Trapezoid &60%"},
    {"PopupMenuFadeTrapez70", "Trapezoid &70%"},
    {"PopupMenuFadeTrapez80", "Trapezoid &80%"},
    {"PopupMenuFadeTrapez90", "Trapezoid &90%"},
}};

struct FadeGains {
  double gainIn = 0;   // the new segment
  double gainOut = 1;  // the signal after the previous segment
};

// Gains at position t in [0, 1] of a block. The constants 3.1416 and 1.5708 (not pi) are
// part of the sound and of stored renders, so they stay.
FadeGains fadeGains(int mode, double t);

}  // namespace voxloom
