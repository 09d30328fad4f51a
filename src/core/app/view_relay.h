#pragma once

#include "core/ports/view.h"

namespace voxloom {

// Where the services say what changed. A front end without a window attaches nothing,
// and the changes then go nowhere.
class ViewRelay {
 public:
  void attach(View* view) { view_ = view; }
  void notify(ViewAspect aspect) {
    if (view_ != nullptr) view_->changed(aspect);
  }

 private:
  View* view_ = nullptr;
};

}  // namespace voxloom
