#pragma once

// How the link relay and the resolver end: SIGINT or SIGTERM, read from a
// descriptor beside their sockets, and SIGTERM when the process that started
// them ends, even one killed outright.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdlib>

namespace links {

// The descriptor the stop signals arrive on, or -1. Ends this process at once
// when its parent has already gone.
inline int stopSignals() {
  const pid_t parent = getppid();
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) std::exit(0);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  return signalfd(-1, &stop, SFD_CLOEXEC);
}

}  // namespace links
