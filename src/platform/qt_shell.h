#pragma once

#include "core/ports/shell.h"

namespace voxloom {

// The desktop's default programs and direct program starts (never through a shell).
class QtShell : public Shell {
 public:
  bool openDocument(const std::string& pathOrUrl) override;
  bool startProgram(const std::string& program, const std::string& argument) override;
  bool programExists(const std::string& program) override;
};

}  // namespace voxloom
