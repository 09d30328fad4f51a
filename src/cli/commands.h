#pragma once

#include <string>
#include <vector>

namespace voxloom::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Each command takes the arguments after its name and returns the exit status.
int runInfo(const std::vector<std::string>& args);
int runCopy(const std::vector<std::string>& args);
int runSession(const std::vector<std::string>& args);  // session_commands.cpp
int runExport(const std::vector<std::string>& args);   // session_commands.cpp
int runMakeEvp(const std::vector<std::string>& args);
int runReverse(const std::vector<std::string>& args);
int runEcho(const std::vector<std::string>& args);
int runNormalize(const std::vector<std::string>& args);
int runAutoCut(const std::vector<std::string>& args);
int runRecord(const std::vector<std::string>& args);    // record_command.cpp
int runRandom(const std::vector<std::string>& args);    // random_commands.cpp
int runWriteRn(const std::vector<std::string>& args);   // random_commands.cpp
int runLabels(const std::vector<std::string>& args);    // label_command.cpp
int runSettings(const std::vector<std::string>& args);  // settings_command.cpp
int runStudy(const std::vector<std::string>& args);     // study_command.cpp
int runListen(const std::vector<std::string>& args);    // listen_command.cpp

// Prints "voxloom-cli: <text>" and the command's usage line; returns kExitUsage.
int usageError(const std::string& text, const std::string& usage);

}  // namespace voxloom::cli
