#pragma once

#include <string>
#include <vector>

namespace tests_support {

struct EtcFile {
  std::string name;  // under /etc, e.g. "hosts"
  std::string text;
};

// Shows `files` in place of the machine's own /etc files, for the calling
// process's mount namespace only: call it after unsharing the mount namespace
// and making it private. Returns what failed, or an empty text.
std::string replaceEtcFiles(const std::vector<EtcFile>& files);

}  // namespace tests_support
