#pragma once

#include <optional>
#include <string>

namespace voxloom {

// Asks for one line of text, such as the question an EVP is made for.
class QuestionPrompt {
 public:
  virtual ~QuestionPrompt() = default;
  // The entered text for the prompt `label`; nothing when the user cancelled.
  virtual std::optional<std::string> askQuestion(const std::string& label) = 0;
};

// A front end with no one to ask: every question counts as cancelled.
class NoQuestionPrompt final : public QuestionPrompt {
 public:
  std::optional<std::string> askQuestion(const std::string&) override { return std::nullopt; }
};

}  // namespace voxloom
