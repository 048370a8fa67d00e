#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "basics/error.h"
#include "platform/linux/linux_shell.h"
#include "platform/shell.h"

namespace {

namespace fs = std::filesystem;

TEST(BrowserCommandLine, QuotesTheAddressAndAddsNothingElse) {
  EXPECT_EQ(platform::browserCommandLine("http://ifconfig.me/"),
            "explorer.exe \"http://ifconfig.me/\"");
  EXPECT_EQ(platform::browserCommandLine("http://www.quillsey.example"),
            "explorer.exe \"http://www.quillsey.example\"");
}

// Puts a stand-in xdg-open first on PATH for the duration of a test.
class LinuxShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tarnwick-shell-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
  }
  void TearDown() override {
    setenv("PATH", oldPath_.c_str(), 1);
    fs::remove_all(dir_);
  }
  void installOpener() {
    const fs::path opener = dir_ / "xdg-open";
    // The marker comes once the arguments are written (PATH holds only this
    // folder, so the script uses nothing but the shell's own commands).
    std::ofstream(opener) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                          << (dir_ / "args").string() << "\n: > " << (dir_ / "done").string()
                          << "\n";
    fs::permissions(opener, fs::perms::owner_all);
    setenv("PATH", dir_.c_str(), 1);
  }
  std::string recordedArgs() {
    for (int i = 0; i < 1000 && !fs::exists(dir_ / "done"); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(dir_ / "args");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  std::string oldPath_;
};

TEST_F(LinuxShellTest, TheAddressIsOneArgumentWithNoShellInBetween) {
  installOpener();
  platform::linuxos::LinuxShell shell;
  const std::string hostile = "http://x.test/;touch${IFS}pwned $(id)";
  EXPECT_GT(shell.openInBrowser(hostile, platform::kMinimizedFocus), 0);
  EXPECT_EQ(recordedArgs(), hostile + "\n");
  EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
}

TEST_F(LinuxShellTest, AMissingOpenerIsAnError) {
  setenv("PATH", dir_.c_str(), 1);  // empty folder: no xdg-open anywhere
  platform::linuxos::LinuxShell shell;
  try {
    shell.openInBrowser("http://x.test/", platform::kMinimizedFocus);
    FAIL() << "expected an error";
  } catch (const basics::Error& e) {
    EXPECT_EQ(e.number(), 53);
  }
}

}  // namespace
