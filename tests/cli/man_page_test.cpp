// The manual pages and package texts are written by hand: these keep them from drifting
// away from what the programs say about themselves.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "core/app/window_arguments.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

std::string sourceFile(const std::string& relative) {
  std::ifstream in(std::string(VOXLOOM_SOURCE_DIR) + "/" + relative);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The page as a reader sees its words: "\-" is a plain hyphen.
std::string unescaped(std::string page) {
  for (std::size_t at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at))
    page.erase(at, 1);
  return page;
}

std::set<std::string> optionsIn(const std::string& text) {
  std::set<std::string> options;
  // std::regex draws false warnings from GCC 12 in optimised sanitizer builds.
  auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
  std::size_t at = 0;
  while ((at = text.find("--", at)) != std::string::npos) {
    std::size_t end = at + 2;
    while (end < text.size() && (lower(text[end]) || (end > at + 2 && text[end] == '-'))) ++end;
    if (end == at + 2) {
      ++at;
      continue;
    }
    options.insert(text.substr(at, end - at));
    at = end;
  }
  return options;
}

// Each command's synopsis line from `--help`, by command name.
std::map<std::string, std::string> helpCommands() {
  const test::CliResult help = test::runCli({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  std::map<std::string, std::string> commands;
  std::istringstream lines(help.out);
  std::string line;
  bool inCommands = false;
  while (std::getline(lines, line)) {
    if (line == "Commands:") {
      inCommands = true;
    } else if (inCommands && line.empty()) {
      break;
    } else if (inCommands) {
      std::istringstream words(line);
      std::string name;
      words >> name;
      commands[name] = line;
    }
  }
  return commands;
}

// The commands the page describes: each ".TP" item of COMMANDS outside nested lists.
std::set<std::string> pageCommands(const std::string& page) {
  std::set<std::string> commands;
  std::istringstream lines(unescaped(page));
  std::string line, previous;
  bool inCommands = false;
  int depth = 0;
  while (std::getline(lines, line)) {
    if (line.rfind(".SH", 0) == 0 || line.rfind(".SS", 0) == 0) inCommands = line == ".SH COMMANDS";
    if (line.rfind(".RS", 0) == 0) ++depth;
    if (line.rfind(".RE", 0) == 0) --depth;
    if (inCommands && depth == 0 && previous == ".TP" && line.rfind(".B ", 0) == 0) {
      std::istringstream words(line.substr(3));
      std::string name;
      words >> name;
      commands.insert(name);
    }
    previous = line;
  }
  return commands;
}

TEST(ManPages, CliPageDescribesEveryCommandAndOptionOfItsHelp) {
  const std::string page = sourceFile("docs/man/voxloom-cli.1");
  ASSERT_FALSE(page.empty());
  const auto help = helpCommands();
  ASSERT_GE(help.size(), 10u);
  const std::set<std::string> described = pageCommands(page);
  for (const auto& [name, synopsis] : help) {
    EXPECT_TRUE(described.count(name)) << "the manual page lacks the command " << name;
    for (const std::string& option : optionsIn(synopsis))
      EXPECT_NE(unescaped(page).find(option), std::string::npos)
          << "the manual page lacks " << name << "'s option " << option;
  }
  for (const std::string& name : described)
    EXPECT_TRUE(help.count(name)) << "the manual page describes " << name
                                  << ", which --help does not list";
}

TEST(ManPages, WindowPageNamesEveryOptionOfItsUsage) {
  const std::string page = unescaped(sourceFile("docs/man/voxloom.1"));
  ASSERT_FALSE(page.empty());
  for (const std::string& option : optionsIn(windowUsageText()))
    EXPECT_NE(page.find(option), std::string::npos) << "voxloom.1 lacks " << option;
}

// A release changes the version in CMakeLists.txt; the texts written by hand must follow
// (the newest entry comes first in the changelog and the metainfo).
TEST(ManPages, VersionIsTheProgramsEverywhere) {
  const std::string version = VOXLOOM_VERSION;
  struct Case {
    const char* file;
    const char* firstLineWith;
    std::string expected;
  };
  for (const Case& c : {Case{"docs/man/voxloom-cli.1", ".TH ", "\"voxloom " + version + "\""},
                        Case{"docs/man/voxloom.1", ".TH ", "\"voxloom " + version + "\""},
                        Case{"debian/changelog", "voxloom (", "voxloom (" + version + ")"},
                        Case{"packaging/io.github.voxloom.Voxloom.metainfo.xml", "<release ",
                             "<release version=\"" + version + "\""}}) {
    std::istringstream lines(sourceFile(c.file));
    std::string line;
    while (std::getline(lines, line) && line.find(c.firstLineWith) == std::string::npos) {
    }
    EXPECT_NE(line.find(c.expected), std::string::npos) << c.file << ": " << line;
  }
}

}  // namespace
}  // namespace voxloom
