#include "core/view/word_lane.h"

#include <algorithm>

namespace voxloom {

std::vector<WordMark> wordLaneMarks(const std::vector<HeardWord>& words, const TimeAxis& axis,
                                    double rate,
                                    const std::function<double(const std::string&)>& textWidth) {
  std::vector<WordMark> marks;
  if (rate <= 0 || axis.width() <= 0) return marks;
  constexpr double kTextGap = 6;  // columns between one text and the next
  double textsEnd = -1e300;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const HeardWord& w = words[i];
    const double x0 = axis.xOf(w.start * rate);
    const double x1 = std::max(axis.xOf(std::max(w.end, w.start) * rate), x0 + 1);
    if (x1 < 0 || x0 > axis.width()) continue;
    WordMark mark{i, x0, x1, false};
    // A word that starts left of the view keeps its text at the view's edge.
    const double textAt = std::max(x0, 0.0);
    if (!w.word.empty() && textAt >= textsEnd) {
      mark.labelled = true;
      textsEnd = textAt + (textWidth ? textWidth(w.word) : 0) + kTextGap;
    }
    marks.push_back(mark);
  }
  return marks;
}

}  // namespace voxloom
