#pragma once

namespace voxloom {

class FractalForm;

// TFormFractal shown modally; true when it closed with OK. The form keeps its state
// whichever way it closed.
class FractalDialog {
 public:
  virtual ~FractalDialog() = default;
  virtual bool askFractal(FractalForm& form) = 0;
};

}  // namespace voxloom
