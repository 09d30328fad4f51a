#include "core/util/user_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

class UserFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::tempDir() + "/user_file";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    file = dir + "/ten.txt";
    std::ofstream(file) << "0123456789";
    fifo = dir + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string dir, file, fifo;
};

TEST_F(UserFileTest, OnlyARegularFileOpensAndNothingWaits) {
  const struct {
    std::string path;
    UserFile::Status status;
    std::string text;  // the refusal
  } cases[] = {
      {file, UserFile::Status::Open, ""},
      {dir + "/missing", UserFile::Status::CannotOpen, ""},
      {dir, UserFile::Status::Folder, "The label file '" + dir + "' is a folder, not a file."},
      {fifo, UserFile::Status::NotRegular,
       "The label file '" + fifo + "' is a FIFO, not a regular file."},
      {"/dev/null", UserFile::Status::NotRegular,
       "The label file '/dev/null' is a character device, not a regular file."},
  };
  for (const auto& c : cases) {
    const UserFile opened = UserFile::open(c.path);
    EXPECT_EQ(opened.status(), c.status) << c.path;
    if (!c.text.empty()) {
      EXPECT_EQ(notRegularFileText("label file", c.path, opened), c.text);
    }
  }
  const UserFile opened = UserFile::open(file);
  EXPECT_EQ(opened.size(), 10);
  EXPECT_EQ(::fcntl(opened.fd(), F_GETFL) & O_NONBLOCK, 0);  // reads wait for the disk
  EXPECT_EQ(UserFile::open(dir + "/missing").error(), ENOENT);
}

TEST_F(UserFileTest, AWholeReadStopsAtTheLimit) {
  const struct {
    std::string path;
    std::size_t limit;
    WholeFileStatus status;
    std::string refusal;
  } cases[] = {
      {file, 10, WholeFileStatus::Read, ""},
      {file, 9, WholeFileStatus::TooLarge, "The settings file '" + file + "' is too large."},
      {dir, 100, WholeFileStatus::Folder,
       "The settings file '" + dir + "' is a folder, not a file."},
      {fifo, 100, WholeFileStatus::NotRegular,
       "The settings file '" + fifo + "' is a FIFO, not a regular file."},
      {dir + "/missing", 100, WholeFileStatus::CannotOpen, ""},
  };
  for (const auto& c : cases) {
    const WholeFile read = readUserFile(c.path, c.limit, "settings file");
    EXPECT_EQ(read.status, c.status) << c.path << " " << c.limit;
    EXPECT_EQ(read.refusal, c.refusal);
    EXPECT_EQ(read.text, c.status == WholeFileStatus::Read ? "0123456789" : "");
  }
}

}  // namespace
}  // namespace voxloom
