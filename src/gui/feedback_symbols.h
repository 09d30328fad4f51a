#pragma once

#include <QString>

#include "core/engine/visual_feedback.h"

namespace voxloom {

// The font the symbol falls back to when the chosen one is not installed.
inline constexpr const char* kFallbackSymbolFont = "DejaVu Sans";

// The symbol standing in for character code 33..255 of a symbol font: 223 distinct
// characters of a fixed table.
char32_t fallbackSymbol(int code);
bool fontInstalled(const QString& family);
// What the label shows for `code`: the character itself in a font the user chose and
// has, otherwise its stand-in from the table.
QString feedbackSymbolText(int code, bool chosenFontInstalled);

}  // namespace voxloom
