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

// Runs `program` with `options` as Explorer or a shortcut does: no console to
// attach to and no standard handles. Waits for a message box of the program,
// prints its title and text as lines, presses its OK button and returns the
// program's exit status; kConsoleRunFailed (the reason on standard error) when
// no box comes within a minute or the program does not end after it.
int runWithoutConsole(const std::wstring& program, const std::vector<std::wstring>& options);

}  // namespace windows_driver
