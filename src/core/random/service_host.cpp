#include "core/random/service_host.h"

namespace voxloom {

std::string serviceHost(const std::string& url) {
  std::string h = url;
  if (const auto p = h.find("//"); p != std::string::npos) h = h.substr(p + 2);
  if (const auto p = h.find('/'); p != std::string::npos) h = h.substr(0, p);
  if (const auto p = h.find('?'); p != std::string::npos) h = h.substr(0, p);
  return h;
}

}  // namespace voxloom
