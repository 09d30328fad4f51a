// voxloom-cli: the program's core without windows, for scripts and reproducible runs.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/standard_output.h"
#include "core/util/replace_file.h"

namespace voxloom::cli {

namespace {

struct CommandEntry {
  const char* name;
  const char* synopsis;
  int (*run)(const std::vector<std::string>&);
};

constexpr CommandEntry kCommands[] = {
    {"info", "info FILE.wav              print the document as JSON", runInfo},
    {"copy", "copy IN.wav OUT.wav        load and write the whole document", runCopy},
    {"session", "session FILE.evp           print a session file as JSON", runSession},
    {"export", "export FILE.evp --evp N -o OUT.wav [--wav PATH]  write EVP N as a WAV file",
     runExport},
    {"make-evp", "make-evp IN.wav -o OUT.wav [options]  generate one EVP offline", runMakeEvp},
    {"reverse", "reverse IN.wav OUT.wav     reverse the signal", runReverse},
    {"echo", "echo [--delay MS] [--decay PCT] IN.wav OUT.wav  add a feedback echo", runEcho},
    {"normalize", "normalize IN.wav OUT.wav   scale the peak to full scale", runNormalize},
    {"autocut",
     "autocut [--threshold PCT | --auto] [--frame MS] IN.wav OUT.wav  cue the quiet gaps",
     runAutoCut},
    {"record", "record --seconds S [options] OUT.wav  record from the input device", runRecord},
    {"random",
     "random [--test | --raw] [--range N] [--count K] [--log FILE] [source options]  print "
     "draws, test or dump the raw values",
     runRandom},
    {"write-rn", "write-rn --count K [source options] OUT.txt  write raw values to a file",
     runWriteRn},
    {"labels", "labels IN.wav [--import LABELS.txt -o OUT.wav [--replace]]  cues as a label track",
     runLabels},
    {"settings", "settings [--settings FILE] [--write OUT.ini]  print the settings as JSON",
     runSettings},
    {"listen",
     "listen FILE.wav [--words LIST.txt] [--min-confidence P] [--labels OUT.txt] [--model DIR]  "
     "the words a machine hears, as JSON lines",
     runListen},
    {"study",
     "study IN.wav --runs N --control CONTROL [options]  compare the words a machine hears "
     "in EVPs and in a control",
     runStudy},
};

void printHelp(std::ostream& out) {
  out << "Usage: voxloom-cli COMMAND [ARGUMENTS]\n"
         "       voxloom-cli --help | --version\n\n"
         "Commands:\n";
  for (const CommandEntry& c : kCommands) out << "  " << c.synopsis << '\n';
  out << "\nMessages go to stderr as '<title>: <text>'. Exit status: 0 success, 1 failure,\n"
         "2 wrong usage. See docs/cli.md for details.\n";
}

}  // namespace

int usageError(const std::string& text, const std::string& usage) {
  std::cerr << "voxloom-cli: " << text << "\nUsage: " << usage << '\n';
  return kExitUsage;
}

}  // namespace voxloom::cli

namespace {

int runCommandLine(const std::vector<std::string>& args) {
  using namespace voxloom::cli;
  if (args.empty()) {
    printHelp(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    printHelp(std::cout);
    return kExitOk;
  }
  if (args[0] == "--version") {
    std::cout << "voxloom " VOXLOOM_VERSION "\n";
    return kExitOk;
  }
  for (const CommandEntry& c : kCommands)
    if (args[0] == c.name) return c.run({args.begin() + 1, args.end()});
  std::cerr << "voxloom-cli: unknown command '" << args[0] << "'\n";
  printHelp(std::cerr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  // An interrupted save leaves no temporary file behind and a log ends with its last
  // whole line; a write past the file-size limit fails with its message instead of
  // killing the program.
  voxloom::cleanUpTemporaryFilesOnSignals();
  voxloom::cli::captureStandardOutput();
  const int exit = runCommandLine({argv + 1, argv + argc});
  return voxloom::cli::finishStandardOutput(exit);
}
