#pragma once

#include <optional>
#include <string>
#include <vector>

#include "basics/error.h"
#include "platform/shell.h"

namespace fakes {

// Records the pages it is asked to open; fails when `failure` is set.
class FakeShell : public platform::Shell {
 public:
  std::int64_t openInBrowser(const std::string& url, int windowStyle) override {
    if (failure) throw *failure;
    opened.push_back(url);
    styles.push_back(windowStyle);
    return 4242;
  }
  std::vector<std::string> opened;
  std::vector<int> styles;
  std::optional<basics::Error> failure;
};

}  // namespace fakes
