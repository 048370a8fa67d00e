#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace windows_driver {

// Reaches another program's windows the way a Windows UI test does: top-level
// windows by title, controls by their control identifiers, texts and states
// through the controls' own messages. Every wait is bounded.

using Clock = std::chrono::steady_clock;

// The visible top-level window of process `pid` with this exact title, or null.
HWND findTopLevel(DWORD pid, const std::wstring& title);

// The descendant of `top` (at any depth) with control identifier `id`, or null.
HWND findControl(HWND top, int id);

// The control's text as UTF-8; nullopt when the window did not answer in time.
std::optional<std::string> textOf(HWND control);

// The accessible description a screen reader reads for the control (through
// MSAA, from its window's client object); empty when it has none, nullopt
// when the control gave no accessible object.
std::optional<std::string> accessibleDescriptionOf(HWND control);

// Whether a check box or push-like button is checked; nullopt when it did not answer.
std::optional<bool> isChecked(HWND control);

// The position of a progress bar; nullopt when it did not answer.
std::optional<int> progressPosition(HWND bar);

// Clicks a button as the user's mouse would, without waiting for what it starts.
void click(HWND button);

// Selects a page of a tab control as a click on its tab does: the tab control
// and its parent see the same messages.
bool selectTab(HWND tabControl, int page);

// Runs `done` every 20 ms until it holds or `limit` has passed, handling this
// thread's messages meanwhile; says whether it held.
bool waitUntil(std::chrono::milliseconds limit, const std::function<bool()>& done);

// Starts `program` with this command line as CreateProcessW does, trying again
// up to twice, a second apart, when Wine fails inside: its process start
// reports ERROR_INTERNAL_ERROR when the new process died before it was set up,
// which once in a while happens to any program on a loaded machine. What it
// tried is said on standard error. False with GetLastError() set otherwise.
bool startProgram(const std::wstring& program, std::wstring commandLine, bool inheritHandles,
                  DWORD flags, STARTUPINFOW& startup, PROCESS_INFORMATION& info);

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

}  // namespace windows_driver
