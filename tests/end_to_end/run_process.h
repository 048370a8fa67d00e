#pragma once

#include <string>

#include "tests/end_to_end/isolated_run.h"

namespace end_to_end {

// What a run's own process is given: it is forked by the runner and never
// execs, so it gets plain pointers into the runner's memory.
struct RunProcessPlan {
  const RunSetup* setup;
  std::string directory;
  const char* program;
  char* const* envp;
  int outWrite;
  int errWrite;
};

// The run's own process: enters private namespaces, gives the program its own
// /etc files, stages the network, starts the servers, runs the program as its
// child and writes its status, peak memory and the servers' requests into the
// run directory. Never returns.
[[noreturn]] void runProcessMain(const RunProcessPlan& plan);

// Files of the run directory.
void writeFile(const std::string& path, const std::string& text);
std::string readFile(const std::string& path);

}  // namespace end_to_end
