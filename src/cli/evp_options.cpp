#include "cli/evp_options.h"

#include "core/engine/cross_fade.h"
#include "core/util/number_text.h"

namespace voxloom::cli {

namespace {

std::optional<int> parseFadeMode(const std::string& text) {
  if (const auto mode = parseWholeNumber<int>(text)) {
    if (*mode >= 0 && *mode < kFadeModeCount) return mode;
    return std::nullopt;
  }
  if (text == "linear") return 0;
  if (text == "sine") return 1;
  if (text == "sine-half") return 2;
  for (int p = 10; p <= 90; p += 10)
    if (text == "trapezoid" + std::to_string(p)) return 2 + p / 10;
  return std::nullopt;
}

}  // namespace

OptionTake takeEvpShapeOption(const std::vector<std::string>& args, std::size_t& i,
                              EvpShapeOptions& out, std::string& error) {
  const std::string& a = args[i];
  if (a == "--overlap") {
    out.overlap = true;
    return OptionTake::Taken;
  }
  if (a == "--no-zero-cross") {
    out.noZeroCross = true;
    return OptionTake::Taken;
  }
  if (a == "--cue-list") {
    out.cueList = true;
    return OptionTake::Taken;
  }
  if (a != "--from" && a != "--to" && a != "--xfade") return OptionTake::NotMine;
  if (i + 1 >= args.size()) {
    error = a + " needs a value";
    return OptionTake::Wrong;
  }
  const std::string& v = args[++i];
  if (a == "--xfade") {
    out.fadeMode = parseFadeMode(v);
    if (!out.fadeMode) {
      error = "--xfade needs 0..11, linear, sine, sine-half or trapezoid10..90";
      return OptionTake::Wrong;
    }
    return OptionTake::Taken;
  }
  const auto ms =
      parseWholeNumber<int>(v, SegmentOptions::kMinDuration, SegmentOptions::kMaxDuration);
  if (!ms) {
    error = a + " needs milliseconds 1..10000";
    return OptionTake::Wrong;
  }
  (a == "--from" ? out.from : out.to) = ms;
  return OptionTake::Taken;
}

void applyEvpShapeOptions(const EvpShapeOptions& a, SegmentOptions& o, Frames cueCount) {
  if (a.from) o.duration.value = *a.from;
  if (a.to) {
    o.duration2.value = *a.to;
    o.segTo.checked = true;
  }
  o.overlap.checked = a.overlap;
  o.zeroCrossAdjust.checked = !a.noZeroCross;
  o.useCueList.checked = a.cueList;
  if (a.fadeMode) {
    o.crossFade.checked = true;
    o.fadeMode = *a.fadeMode;
  }
  updateSegmentControls(o, 0, cueCount);
}

}  // namespace voxloom::cli
