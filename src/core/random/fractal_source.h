#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/random/random_mapping.h"
#include "core/random/random_source.h"

namespace voxloom {

// One step of the logistic equation, x = (r * x) * (1 - x), in that order and in
// extended precision; the new x is stored back and returned.
inline long double logisticStep(long double r, long double& x) {
  x = (r * x) * (1.0L - x);
  return x;
}

// The fractal source's draw: one step (or 32 folded into one word when `convert`) mapped
// onto 0..n-1.
struct FractalState {
  long double r;
  long double& x;
  long double& previousTrendValue;
};
RawDraw drawFractalWord(FractalState state, std::int32_t n);
inline RawDraw drawFractal(FractalState state, bool convert, std::int32_t n) {
  if (convert) return drawFractalWord(state, n);
  RawDraw d;  // a step costs less than a call: this one is inline
  d.fraction = logisticStep(state.r, state.x);
  d.mapped = scaleFromFractal(d.fraction, n);
  d.bits = 32;
  d.form = RawForm::Decimal;
  return d;
}

// A decimal text as a number, independent of the locale: blanks around it, an optional
// sign, digits with "." and an exponent. Nothing for anything else, and for texts that
// are not finite (a parameter of infinity would only ever give 0 or NaN).
std::optional<long double> parseDecimal(std::string_view text);
// General format, up to 15 significant digits, "." as separator.
std::string formatDecimal(long double value);
// The message a text that is not a number gets where it must be one.
std::string notFloatText(const std::string& text);

}  // namespace voxloom
