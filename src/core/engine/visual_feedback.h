#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/engine/tool_window_state.h"

namespace voxloom {

// The 15 colours of the feedback symbol as 0x00BBGGRR values.
inline constexpr std::array<std::uint32_t, 15> kFeedbackPalette = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00};
inline constexpr int kFeedbackCodes = 223;  // character codes 33..255
inline constexpr int kFeedbackCombinations =
    kFeedbackCodes * static_cast<int>(kFeedbackPalette.size());  // 3345

// The font of the symbol as the user chose it; stored and restored by the settings.
struct FeedbackFont {
  std::string name = "Wingdings";
  int size = 0;     // points; 0: the window's own size (400 pixels high)
  int charset = 2;  // the symbol character set
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// What the segment options say when a segment starts.
struct FeedbackOptions {
  bool overlapInUse = false;    // CheckBoxOverlap checked and enabled
  bool durationEnabled = true;  // CSpinEditSegDuration enabled: the cue list is not in use
  std::int32_t segmentCount = 0;
};

// What TFormVisualFeedbackWindow ("Visual Feedback Window") shows.
struct VisualFeedback {
  static constexpr int kDefaultWidth = 558;
  static constexpr int kDefaultHeight = 546;

  ToolWindowState window;
  int width = kDefaultWidth;  // client size
  int height = kDefaultHeight;
  FeedbackFont font;

  int symbolCode = 'A';             // LabelFeedbackString: one character 33..255
  std::uint32_t colour = 0x000000;  // its colour, 0x00BBGGRR
  std::string note;                 // LabelNote1
  std::int64_t shownCount = 0;      // segments shown since start

  // The window shows symbol, colour and note again.
  std::function<void()> segmentChanged;

  // The block of segment n starts playing. Nothing happens while the window is hidden
  // or for n = -1 (a muted pick). True when something was shown.
  bool showSegment(std::int32_t n, const FeedbackOptions& options);
};

// The character code 33..255 and the palette index of segment n (n >= 0).
int feedbackSymbolCode(std::int32_t n);
int feedbackColourIndex(std::int32_t n);
// LabelNote1 for the options: empty, or "Note: " followed by the notes that apply.
std::string feedbackNote(const FeedbackOptions& options);

}  // namespace voxloom
