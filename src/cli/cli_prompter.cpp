#include "cli/cli_prompter.h"

#include <iostream>

namespace voxloom::cli {

Answer CliPrompter::message(const std::string& title, const std::string& text, MessageIcon,
                            MessageButtons buttons) {
  std::string line = text;
  if (!keepLineBreaks)
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
  std::cerr << title << ": " << line << '\n';
  ++messagesShown;
  switch (buttons) {
    case MessageButtons::Ok:
      return Answer::Ok;
    case MessageButtons::RetryCancel:
      return Answer::Cancel;
    default:
      return Answer::No;
  }
}

}  // namespace voxloom::cli
