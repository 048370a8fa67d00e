#pragma once

namespace platform::linuxos {

// Initialises libcurl for the whole process, once, whichever thread asks
// first. False when libcurl could not be initialised.
bool ensureCurlReady();

}  // namespace platform::linuxos
