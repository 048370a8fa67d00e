#pragma once

namespace platform::windows {

// Makes sure COM is initialised on the calling thread, once per thread, and
// undone when the thread ends. A thread whose owner already entered a
// single-threaded apartment keeps it. Throws basics::Error when COM cannot
// be initialised at all.
void ensureComOnThisThread();

}  // namespace platform::windows
