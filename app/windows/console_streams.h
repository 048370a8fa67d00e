#pragma once

#include <windows.h>

#include <string_view>

namespace app_windows {

// Where a run started with an option (--help, --version, --json) writes.
// tarnwick.exe is a GUI program and starts without a console: its standard
// handles are what its parent handed on (a file or a pipe when the output is
// redirected), or nothing. A missing handle is taken from the console of the
// program that started it (a command prompt), if it has one; started from
// Explorer there is none and the text goes nowhere.
class ConsoleStreams {
 public:
  ConsoleStreams();
  ConsoleStreams(const ConsoleStreams&) = delete;
  ConsoleStreams& operator=(const ConsoleStreams&) = delete;

  // UTF-8 text: a console gets it as UTF-16, whatever its code page; a file
  // or pipe gets the bytes as they are.
  void out(std::string_view text) const { write(out_, text); }
  void err(std::string_view text) const { write(err_, text); }
  // Whether what err() writes reaches anyone: a console, a file or a pipe.
  bool errorsReachSomeone() const;

 private:
  static void write(HANDLE handle, std::string_view text);

  HANDLE out_;
  HANDLE err_;
};

}  // namespace app_windows
