#include "core/engine/visual_feedback.h"

namespace voxloom {

int feedbackSymbolCode(std::int32_t n) {
  return static_cast<int>(n % kFeedbackCodes) + 33;
}

int feedbackColourIndex(std::int32_t n) {
  return static_cast<int>((n / kFeedbackCodes) %
                          static_cast<std::int32_t>(kFeedbackPalette.size()));
}

std::string feedbackNote(const FeedbackOptions& options) {
  std::string countNote;
  if (options.segmentCount > kFeedbackCombinations && options.durationEnabled) {
    countNote = "Number of segments (" + std::to_string(options.segmentCount) +
                ") is greater than number of character/color combinations (" +
                std::to_string(kFeedbackCombinations) + "). ";
  }
  const std::string overlapNote =
      options.overlapInUse ? "\"Overlap\" should not be checked." : std::string();
  if (countNote.empty() && overlapNote.empty()) return {};
  const std::string also = !countNote.empty() && !overlapNote.empty() ? "Also " : "";
  return "Note: " + countNote + also + overlapNote;
}

bool VisualFeedback::showSegment(std::int32_t n, const FeedbackOptions& options) {
  // Segment numbers are never negative; -1 marks a block that is not a pick.
  if (!window.visible || n < 0) return false;
  note = feedbackNote(options);
  symbolCode = feedbackSymbolCode(n);
  colour = kFeedbackPalette[static_cast<std::size_t>(feedbackColourIndex(n))];
  ++shownCount;
  if (segmentChanged) segmentChanged();
  return true;
}

}  // namespace voxloom
