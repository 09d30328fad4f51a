#include "core/app/window_arguments.h"

#include "core/util/number_text.h"

namespace voxloom {

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
  WindowArguments parsed;
  std::size_t i = 0;
  // The options come before the file arguments.
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--seed" || a == "--settings") {
      if (i + 1 >= args.size()) {
        parsed.error = a + " needs a value";
        return parsed;
      }
      const std::string& value = args[++i];
      if (a == "--settings") {
        parsed.settingsPath = value;
        continue;
      }
      parsed.seed = parseWholeNumber<std::uint64_t>(value);
      if (!parsed.seed) {
        parsed.error = "--seed needs a whole number, not '" + value + "'";
        return parsed;
      }
    } else if (a == "--help" || a == "-h") {
      parsed.help = true;
    } else if (a == "--version") {
      parsed.version = true;
    } else if (a == "--") {
      ++i;
      break;
    } else {
      break;
    }
  }
  parsed.files.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return parsed;
}

std::string windowUsageText() {
  return "Usage: voxloom [--seed N] [--settings FILE] [--] [FILE...]\n"
         "Opens each FILE by its extension: WAV files (*.wav), EVP session files (*.evp)\n"
         "and random source files (*.pcm).\n"
         "\n"
         "  --seed N          seed the pseudo-random generator with N\n"
         "  --settings FILE   use FILE as the settings file\n"
         "  --help            show this help and end\n"
         "  --version         show the version and end\n"
         "\n"
         "Qt's own options (-platform, -style, ...) are accepted as well.\n"
         "The command-line tool is voxloom-cli.\n";
}

}  // namespace voxloom
