#include "core/ports/service_url_dialog.h"

#include <algorithm>

namespace voxloom {

void ServiceUrlForm::ok() {
  if (text.empty()) return;
  if (std::find(items.begin(), items.end(), text) != items.end()) return;
  items.push_back(text);
  std::sort(items.begin(), items.end());
}

void ServiceUrlForm::deleteText() {
  std::erase(items, text);
  text.clear();
}

}  // namespace voxloom
