#pragma once

#include <gtest/gtest.h>

#include <QObject>

namespace voxloom::test {

// The child of parent named name; a missing one fails the test (and gives nullptr).
template <class T>
T* child(const QObject& parent, const char* name) {
  T* found = parent.findChild<T*>(name);
  EXPECT_NE(found, nullptr) << name;
  return found;
}

}  // namespace voxloom::test
