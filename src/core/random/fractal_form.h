#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/ports/prompter.h"
#include "core/random/feigenbaum.h"
#include "core/random/pseudo_rng.h"

namespace voxloom {

// The state and rules of TFormFractal, which lives for the whole run: the two edit-slider
// pairs for r and x, the diagram's range edits and options, the diagram itself and what
// the clicks on it remember. The window shows this state and forwards its events here.
class FractalForm {
 public:
  static constexpr int kGrowthMin = 3500000, kGrowthMax = 4000000;
  static constexpr int kPopulationMin = 0, kPopulationMax = 1000000;
  static constexpr int kImageSize = 200;
  enum class Button { Left, Right, Middle };

  // The main window's r and x (Apply writes them) and the program's generator (Random).
  FractalForm(long double& growthRate, long double& population, PseudoRng& rng)
      : growthRate_(growthRate), population_(population), rng_(rng) {
    resetGraphValues();
  }

  std::string growthText;                        // EditFracGrowthConstant
  std::string populationText;                    // EditFracInitPopulation
  int growthSlider = kGrowthMin;                 // TrackBarGrowthConstant
  int populationSlider = 1;                      // TrackBarInitPopulation
  std::string rMinText, rMaxText;                // EditrMin, EditrMax
  std::string xMinText, xMaxText;                // EditxMin, EditxMax
  std::string xStartText;                        // EditxStart
  int iterations = 300;                          // EditnIterations 1..100000
  int invisible = 50;                            // EditnInvisible 0..100000
  int colors = 4;                                // EditnColors 1..255
  bool red = false, green = true, blue = false;  // CheckBoxR, CheckBoxG, CheckBoxB
  PixelImage image{kImageSize, kImageSize};      // ImageFractal, black at first
  std::array<long double, 4> drawnRange{};       // rMin, rMax, xMin, xMax of the last drawing
  bool zoomSwapR = false, zoomSwapX = false;
  bool firstActivation = true;

  // Showing the window: the edits take the main window's r and x. True when the
  // diagram is to be drawn now (the first activation in a run).
  bool show();

  // Typing into an edit moves its slider (a text that is not a number is ignored); moving
  // a slider writes its edit. The slider does not write back what its edit moved, so a
  // typed value outside the slider's range stays as typed.
  void growthEdited(const std::string& text);
  void populationEdited(const std::string& text);
  void growthSliderMoved(int position);
  void populationSliderMoved(int position);

  void randomGrowth();      // ButtonGrowthConstant
  void randomPopulation();  // ButtonInitPopulation
  // ButtonIterate: x = r * x * (1 - x) into the x edit; the main window's values stay.
  void iterate(Prompter& prompter);
  // ButtonApply: the main window's r and x from the edits, each only if it is a number.
  void apply();
  void resetGraphValues();  // ButtonReset
  // ButtonDraw; false (after the message) when a range edit holds no number.
  bool draw(Prompter& prompter, const std::function<void()>& afterColumn = {});
  // A click on the image at pixel (x, y).
  void click(int x, int y, Button button, Prompter& prompter);

  FeigenbaumParams params() const;

 private:
  long double& growthRate_;
  long double& population_;
  PseudoRng& rng_;
};

}  // namespace voxloom
