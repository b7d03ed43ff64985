// One running copy: a second start finds the first through the lock and asks it forward through
// the socket; a lock left by a copy that died is taken over.
#include "engine/platform/instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class InstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zrinstance.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    ::setenv("ZR_RUNTIME_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    zr_instance_release();
    ::unsetenv("ZR_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  // What zr_instance_claim answers in a child process (another copy of the program).
  int ClaimInChild() {
    const pid_t child = ::fork();
    if (child == 0) {
      zr_instance_forget();
      ::_exit(zr_instance_claim("ZRTest"));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string dir_;
};

TEST_F(InstanceTest, ASecondStartFindsTheFirstAndAsksItForward) {
  ASSERT_EQ(zr_instance_claim("ZRTest"), 1);
  EXPECT_EQ(std::string(zr_instance_lock_path()), dir_ + "/ZRTest.lock");
  EXPECT_EQ(zr_instance_poll(), 0);
  EXPECT_EQ(ClaimInChild(), 0);
  EXPECT_EQ(zr_instance_poll(), 1);  // the request arrived
  EXPECT_EQ(zr_instance_poll(), 0);
  zr_instance_release();
  EXPECT_EQ(ClaimInChild(), 1);  // the first copy has gone
}

TEST_F(InstanceTest, ALockLeftByACrashIsTakenOver) {
  // A copy that died leaves its files; nobody holds the lock any more.
  std::ofstream(dir_ + "/ZRTest.lock") << "99999\n";
  std::ofstream(dir_ + "/ZRTest.sock") << "";
  ASSERT_EQ(zr_instance_claim("ZRTest"), 1);
  EXPECT_EQ(ClaimInChild(), 0);
  EXPECT_EQ(zr_instance_poll(), 1);
}

TEST_F(InstanceTest, RuntimeDirectoriesKeepCopiesApart) {
  ASSERT_EQ(zr_instance_claim("ZRTest"), 1);
  char pattern[] = "/tmp/zrinstance.XXXXXX";
  const std::string other = ::mkdtemp(pattern);
  ::setenv("ZR_RUNTIME_DIR", other.c_str(), 1);
  EXPECT_EQ(ClaimInChild(), 1);
  std::error_code ignored;
  std::filesystem::remove_all(other, ignored);
}

}  // namespace
