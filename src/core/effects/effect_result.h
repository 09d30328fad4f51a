#pragma once

namespace voxloom {

// What the caller of an effect needs to know afterwards. When `modified` is true the
// document was changed and marked modified; the caller returns to the idle command
// state so that Save becomes enabled.
struct EffectResult {
  bool modified = false;
};

}  // namespace voxloom
