#pragma once

#include <string>
#include <vector>

namespace windows_driver {

// The driver's own failure in this mode, apart from any status of the program.
inline constexpr int kConsoleRunFailed = 125;

// Runs `program` with `options` as a script would with its output redirected:
// its standard output is a pipe whose bytes go to ours unchanged, its standard
// error the file `errorFile`. Fails when the program shows a window or does not
// end within two minutes. Returns the program's exit status, or
// kConsoleRunFailed with the reason on our standard error.
int runWithRedirectedOutput(const std::wstring& program, const std::vector<std::wstring>& options,
                            const std::wstring& errorFile);

}  // namespace windows_driver
