#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ports/question_prompt.h"

namespace voxloom::test {

// Answers every question with `answer` and keeps the prompts it was shown.
struct ScriptedQuestions : QuestionPrompt {
  std::optional<std::string> answer = std::string("q");
  std::vector<std::string> labels;

  std::optional<std::string> askQuestion(const std::string& label) override {
    labels.push_back(label);
    return answer;
  }
};

}  // namespace voxloom::test
