#pragma once

#include <string>

namespace voxloom {

// Hands files and programs to the desktop.
class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a file or address with the desktop's default program; false when the desktop
  // has no program for it (or no launcher at all).
  virtual bool openDocument(const std::string& pathOrUrl) = 0;
  // Starts a program directly (never through a shell) with the given arguments.
  virtual bool startProgram(const std::string& program, const std::string& argument) = 0;
  // Whether a program of that name can be found on the search path.
  virtual bool programExists(const std::string& program) = 0;
};

}  // namespace voxloom
