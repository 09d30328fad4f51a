// voxloom-cli settings: the settings as the window program reads them at start-up.
#include <unistd.h>

#include <iostream>

#include "cli/cli_prompter.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/app/app_services.h"
#include "core/settings/settings_location.h"

namespace voxloom::cli {

namespace {

constexpr const char* kUsage = "voxloom-cli settings [--settings FILE] [--write OUT.ini]";

// The folder of this program, where the window program is installed too.
std::string programFolder() {
  std::string path(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return ".";
  path.resize(static_cast<std::size_t>(n));
  const auto slash = path.find_last_of('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

int runSettings(const std::vector<std::string>& args) {
  std::string file, out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--settings" || a == "--write") && i + 1 < args.size()) {
      (a == "--settings" ? file : out) = args[++i];
    } else if (a == "--settings" || a == "--write") {
      return usageError(a + " needs a file name", kUsage);
    } else {
      return usageError("unexpected argument '" + a + "'", kUsage);
    }
  }
  if (file.empty()) file = settingsFilePath(programFolder());

  // The same owners as in the window program, so values are clamped the same way.
  CliPrompter prompter;
  NoShell shell;
  NoQuestionPrompt noQuestions;  // nothing is captured here
  AppServices services(prompter, shell, noQuestions);
  services.settings.path = file;
  services.loadSettings();
  const Settings& settings = services.settings.settings;

  JsonWriter json;
  json.beginObject();
  for (const SettingsSection& section : settings.sections()) {
    json.key(section.name).beginObject();
    for (const auto& [key, value] : section.keys) json.key(key).value(value);
    json.endObject();
  }
  json.endObject();
  std::cout << json.text() << '\n';

  // Loading told why the file it could not read is not written over.
  if (!out.empty() && settings.keepsUnread(out)) return kExitFailed;
  if (!out.empty() && !settings.save(out)) {
    prompter.error(settingsWriteError(out));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace voxloom::cli
