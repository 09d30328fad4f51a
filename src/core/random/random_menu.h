#pragma once

#include <array>
#include <string>

#include "core/random/random_source_kind.h"

namespace voxloom {

// What the "&Random source" submenu and the log item show. The option marks are the
// options themselves: each command toggles its own mark and nothing else.
struct RandomSourceMenu {
  std::array<bool, kRandomSourceKindCount> checked{true};  // radio group; PseudoRng first
  std::string fileCaption = "F&ile...";                    // MenuPrefRndSrcFile
  std::string httpCaption = "I&nternet...";                // MenuPrefRndSrcHttp
  std::string deviceCaption = "&Device...";                // MenuPrefRndSrcDevice

  bool convert = false;     // MenuPrefRndSrcConvert "Bitwise &convert 32 RN to 1 RN"
  bool recBest = true;      // MenuPrefRndSrcRecBest "Use &best sample rate"
  bool recNew = true;       // MenuPrefRndSrcRecNew "&Retrieve new RN for each EVP"
  bool fileLoop = true;     // MenuPrefRndSrcFileLoop "&Loop file"
  bool logChecked = false;  // MenuExtrasProtRN "&Log random numbers..."

  // Tool windows that follow the current source.
  bool showManualRandom = false;  // TFormManualRandom
  bool showRecLevel = false;      // TFormRecLevel

  void checkOnly(RandomSourceKind kind) {
    checked.fill(false);
    checked[static_cast<std::size_t>(kind)] = true;
  }
};

}  // namespace voxloom
