#pragma once

namespace voxloom {

// What part of the main window's state changed; the window re-reads that part.
enum class ViewAspect {
  Texts,     // window title, application title, status panels
  Commands,  // enabled commands and control modes
  Document,  // samples or cues
};

class View {
 public:
  virtual ~View() = default;
  virtual void changed(ViewAspect aspect) = 0;
};

}  // namespace voxloom
