#pragma once

#include <array>
#include <optional>

namespace voxloom {

// The numbering is persisted (setting RandomSource), so it never changes.
enum class RandomSourceKind : int {
  PseudoRng = 0,
  SoundCard = 1,
  RandomFile = 2,
  Fractal = 3,
  Internet = 4,
  ManualSweep = 5,
  ParallelPort = 6,
  Device = 7,
};
inline constexpr int kRandomSourceKindCount = 8;

// The stored integer as a kind; nothing for a value outside 0..7.
std::optional<RandomSourceKind> randomSourceKindFromInt(int value);

// The stable name of a kind ("pseudo", "soundcard", ... "device" for 7), as provenance
// and the health file write it; "unknown" for anything else. Takes the integer so that
// a value forced past the enumeration still has a name.
const char* randomSourceName(int kind);

// Menu item names and their plain captions, indexed by the kind's value.
struct RandomSourceItem {
  const char* menuItem;
  const char* caption;
};
inline constexpr std::array<RandomSourceItem, kRandomSourceKindCount> kRandomSourceItems = {{
    {"MenuPrefRndSrcProgram", "&Pseudo RNG"},
    {"MenuPrefRndSrcSoundcard", "&Sound card"},
    {"MenuPrefRndSrcFile", "F&ile..."},
    {"MenuPrefRndSrcFractal", "&Fractal equation..."},
    {"MenuPrefRndSrcHttp", "I&nternet..."},
    {"MenuPrefRndSrcManual", "&Manual sweep"},
    {"MenuPrefRndSrcLPT", "P&arallel printer port..."},
    {"MenuPrefRndSrcDevice", "&Device..."},
}};

}  // namespace voxloom
