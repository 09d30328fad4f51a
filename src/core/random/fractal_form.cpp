#include "core/random/fractal_form.h"

#include <cmath>
#include <optional>

#include "core/random/fractal_source.h"

namespace voxloom {
namespace {

// The slider position a number stands for, truncated and held inside the slider. The
// product is first rounded to a thousandth of a step, so that a text the slider itself
// wrote ("0.854865") comes back as its position and not one below it.
int sliderPosition(long double value, int min, int max) {
  const long double scaled = std::trunc(std::round(value * 1e9L) / 1000.0L);
  if (scaled <= min) return min;
  if (scaled >= max) return max;
  return static_cast<int>(scaled);
}

std::string sliderText(int position) {
  return formatDecimal(position / 1000000.0L);
}

// Reads every text or shows the message of the first that is not a number.
template <std::size_t N>
std::optional<std::array<long double, N>> readAll(const std::array<const std::string*, N>& texts,
                                                  Prompter& prompter) {
  std::array<long double, N> values{};
  for (std::size_t i = 0; i < N; ++i) {
    const auto value = parseDecimal(*texts[i]);
    if (!value) {
      prompter.error(notFloatText(*texts[i]));
      return std::nullopt;
    }
    values[i] = *value;
  }
  return values;
}

// Two left clicks set a range between the clicked values, in whatever order; `swapped`
// remembers that the last click went into the lower edit.
void narrow(long double& eMin, long double& eMax, long double clicked, bool& swapped,
            std::string& minText, std::string& maxText) {
  if (swapped) {
    eMax = eMin;
    swapped = false;
  }
  const long double previous = eMax;
  eMin = previous;
  eMax = clicked;
  if (previous > clicked) {
    std::swap(eMin, eMax);
    swapped = true;
  }
  if (eMin != eMax) {
    minText = formatDecimal(eMin);
    maxText = formatDecimal(eMax);
  }
}

}  // namespace

bool FractalForm::show() {
  growthEdited(formatDecimal(growthRate_));
  populationEdited(formatDecimal(population_));
  if (!firstActivation) return false;
  firstActivation = false;
  return true;
}

void FractalForm::growthEdited(const std::string& text) {
  growthText = text;
  if (const auto value = parseDecimal(text))
    growthSlider = sliderPosition(*value, kGrowthMin, kGrowthMax);
}

void FractalForm::populationEdited(const std::string& text) {
  populationText = text;
  if (const auto value = parseDecimal(text))
    populationSlider = sliderPosition(*value, kPopulationMin, kPopulationMax);
}

void FractalForm::growthSliderMoved(int position) {
  growthSlider = position;
  growthText = sliderText(position);
}

void FractalForm::populationSliderMoved(int position) {
  populationSlider = position;
  populationText = sliderText(position);
}

void FractalForm::randomGrowth() {
  const int value = rng_.nextPseudoRandom() % (kGrowthMax - kGrowthMin + 1) + kGrowthMin;
  growthEdited(sliderText(value));
}

void FractalForm::randomPopulation() {
  const int value =
      rng_.nextPseudoRandom() % (kPopulationMax - kPopulationMin + 1) + kPopulationMin;
  populationEdited(sliderText(value));
}

void FractalForm::iterate(Prompter& prompter) {
  const auto values = readAll<2>({&growthText, &populationText}, prompter);
  if (!values) return;
  const long double r = (*values)[0];
  const long double x = (*values)[1];
  populationEdited(formatDecimal(r * x * (1.0L - x)));
}

void FractalForm::apply() {
  if (const auto r = parseDecimal(growthText)) growthRate_ = *r;
  if (const auto x = parseDecimal(populationText)) population_ = *x;
}

void FractalForm::resetGraphValues() {
  rMinText = "3.5";
  rMaxText = "4.0";
  xMinText = "0.0";
  xMaxText = "1.0";
  xStartText = "0.5";
}

FeigenbaumParams FractalForm::params() const {
  FeigenbaumParams p;
  p.iterations = iterations;
  p.invisible = invisible;
  p.colors = colors;
  p.red = red;
  p.green = green;
  p.blue = blue;
  return p;
}

bool FractalForm::draw(Prompter& prompter, const std::function<void()>& afterColumn) {
  const auto range =
      readAll<5>({&rMinText, &rMaxText, &xMinText, &xMaxText, &xStartText}, prompter);
  if (!range) return false;
  FeigenbaumParams p = params();
  p.rMin = (*range)[0];
  p.rMax = (*range)[1];
  p.xMin = (*range)[2];
  p.xMax = (*range)[3];
  p.xStart = (*range)[4];
  {
    BusyGuard busy(prompter);
    drawFeigenbaum(p, image, afterColumn);
  }
  drawnRange = {p.rMin, p.rMax, p.xMin, p.xMax};
  return true;
}

void FractalForm::click(int x, int y, Button button, Prompter& prompter) {
  if (drawnRange == std::array<long double, 4>{}) return;
  const auto edits = readAll<4>({&rMinText, &rMaxText, &xMinText, &xMaxText}, prompter);
  if (!edits) return;
  auto [eMinR, eMaxR, eMinX, eMaxX] = *edits;
  const auto [rMin, rMax, xMin, xMax] = drawnRange;
  const long double w = image.width;
  const long double h = image.height;
  const long double r = (rMax - rMin) * x / w + rMin;
  const long double px = (xMax - xMin) * (h - y) / h + xMin;
  switch (button) {
    case Button::Right:
      growthEdited(formatDecimal(r));
      populationEdited(formatDecimal(px));
      break;
    case Button::Left:
      narrow(eMinR, eMaxR, r, zoomSwapR, rMinText, rMaxText);
      narrow(eMinX, eMaxX, px, zoomSwapX, xMinText, xMaxText);
      break;
    case Button::Middle:
      break;
  }
}

}  // namespace voxloom
