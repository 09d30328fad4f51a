#pragma once

namespace voxloom {

struct ServiceUrlForm;

// TFormInputString shown modally; true when it closed with OK.
class ServiceUrlDialog {
 public:
  virtual ~ServiceUrlDialog() = default;
  virtual bool askServiceUrl(ServiceUrlForm& form) = 0;
};

}  // namespace voxloom
