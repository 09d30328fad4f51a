#pragma once

#include <string>
#include <vector>

namespace voxloom {

inline constexpr const char* kDefaultServiceUrl =
    "http://www.random.org/integers/"
    "?num=%num%&min=%min%&max=%max%&col=1&base=10&format=plain&rnd=new";

// TFormInputString: the URL templates (sorted, no duplicates) and the combo box text.
struct ServiceUrlForm {
  std::vector<std::string> items{kDefaultServiceUrl};
  std::string text;

  void ok();          // ButtonOK: a new non-empty text joins the list
  void deleteText();  // ButtonDelete: removes the text's item, empties the text
};

// TFormInputString shown modally; true when it closed with OK.
class ServiceUrlDialog {
 public:
  virtual ~ServiceUrlDialog() = default;
  virtual bool askServiceUrl(ServiceUrlForm& form) = 0;
};

}  // namespace voxloom
