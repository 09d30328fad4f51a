#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/ports/shell.h"

namespace voxloom::test {

class FakeShell : public Shell {
 public:
  std::vector<std::string> opened;
  std::vector<std::pair<std::string, std::string>> started;
  std::set<std::string> installed;
  bool desktopOpens = true;  // false: as without a desktop launcher

  bool openDocument(const std::string& pathOrUrl) override {
    opened.push_back(pathOrUrl);
    return desktopOpens;
  }
  bool startProgram(const std::string& program, const std::string& argument) override {
    started.emplace_back(program, argument);
    return installed.count(program) > 0;
  }
  bool programExists(const std::string& program) override { return installed.count(program) > 0; }
};

}  // namespace voxloom::test
