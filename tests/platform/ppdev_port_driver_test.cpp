#include "platform/linux/ppdev_port_driver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace voxloom {
namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
  const fs::path p = fs::path(::testing::TempDir()) / ("ppdev_" + name);
  fs::remove_all(p);
  return p;
}

TEST(PpdevPortDriver, PortsAreListedFromTheDriversEntries) {
  const fs::path root = scratch("proc");
  PpdevPortDriver none(root.string());
  EXPECT_FALSE(none.loaded());
  EXPECT_TRUE(none.probePrinterPorts().empty());

  fs::create_directories(root / "parport1");
  fs::create_directories(root / "parport0");
  fs::create_directories(root / "parport2");
  std::ofstream(root / "parport0" / "base-addr") << "888\t1912\n";
  std::ofstream(root / "parport1" / "base-addr") << "632\n";
  std::ofstream(root / "parport2" / "base-addr") << "garbage\n";
  PpdevPortDriver driver(root.string());
  EXPECT_TRUE(driver.loaded());
  const auto ports = driver.probePrinterPorts();
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].address, 0x378u);
  EXPECT_EQ(ports[0].device, "/dev/parport0");
  EXPECT_EQ(ports[1].address, 0x278u);
}

TEST(PpdevPortDriver, MissingDeviceOrNoPermissionOrNotAPortAreRefused) {
  PpdevPortDriver driver(scratch("unused").string());
  EXPECT_EQ(driver.open("/dev/parport_missing_9"),
            "can't open /dev/parport_missing_9: No such file or directory.");
  EXPECT_EQ(driver.readStatus(), 0);

  const fs::path plain = scratch("plain");
  std::ofstream(plain) << "x";
  EXPECT_EQ(driver.open(plain.string()),
            plain.string() + " is not a parallel port that can be claimed.");
  EXPECT_EQ(driver.open("/dev/null"), "/dev/null is not a parallel port that can be claimed.");

  // Without permission: the superuser runs this as an ordinary user for a moment.
  const fs::path locked = scratch("locked");
  std::ofstream(locked) << "x";
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(seteuid(65534), 0);
  }
  const std::string reason = driver.open(locked.string());
  if (root) {
    ASSERT_EQ(seteuid(0), 0);
  }
  EXPECT_EQ(reason, "can't open " + locked.string() + ": Permission denied.");
}

}  // namespace
}  // namespace voxloom
