#include "cli/cli_prompter.h"

#include <iostream>

#include "core/util/text_encoding.h"

namespace voxloom::cli {

Answer CliPrompter::message(const std::string& title, const std::string& text, MessageIcon,
                            MessageButtons buttons) {
  // A line read from a binary file can reach a message: raw bytes have no place on a
  // terminal.
  std::string line = replaceInvalidUtf8(text);
  if (!keepLineBreaks)
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
  std::cerr << replaceInvalidUtf8(title) << ": " << line << '\n';
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
