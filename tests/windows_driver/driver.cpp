// Drives the real tarnwick.exe from outside, as a user (or a Windows UI test)
// would: it starts the program, finds the main window by its title and its
// controls by their control identifiers, waits for the gathering to end, reads
// what the window shows, clicks "1" and "2" and reads both report windows.
//
//   tarnwick_windows_driver PROGRAM.exe
//       prints the main window and both report windows as plain lines, in the
//       same form as the Linux build's no-display output
//   tarnwick_windows_driver --bench PROGRAM.exe
//       prints "result_ms N" (start to finished result), "window_ms N" (start
//       to the main window shown), the main window's lines as the report
//       prints them, and "peak_working_set_kb N" of the program
//   tarnwick_windows_driver --pictures DIR PROGRAM.exe
//       saves the three pages and both report windows as PNG files in DIR
//   tarnwick_windows_driver --console ERRFILE PROGRAM.exe OPTION...
//       runs the program with its options and its output redirected: passes
//       on what it printed and its exit status (its standard error goes to
//       ERRFILE); fails (125) if it shows a window
//   tarnwick_windows_driver --accessibility PROGRAM.exe
//       prints the main window's lines, then walks it as a screen-reader
//       user (accessibility_walk.h)
//   tarnwick_windows_driver --no-console PROGRAM.exe OPTION...
//       runs it as Explorer does, with no console and no standard handles:
//       prints the title and text of the message box it shows, closes it and
//       passes on its exit status; fails (125) if no box comes
//
// Exits 0 when the program was driven and closed cleanly, 1 otherwise (the
// reason on standard error), 2 on a usage error.

// windows.h before the headers that build on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "basics/text_output.h"
#include "main_window/form1_layout.h"
#include "tests/windows_driver/accessibility_walk.h"
#include "tests/windows_driver/console_run.h"
#include "tests/windows_driver/control_ids.h"
#include "tests/windows_driver/ui_access.h"
#include "tests/windows_driver/window_picture.h"

namespace windows_driver {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// Twenty ticks of 100 ms, then the reachability probe: under Wine on a busy
// machine that is still far below a minute.
constexpr seconds kGatheringLimit{60};
constexpr seconds kWindowLimit{30};
constexpr seconds kExitLimit{15};

struct Failure {
  std::string what;
};

void write(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// The program under test, started by us so that we know its process and its start.
class Program {
 public:
  explicit Program(const std::wstring& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = Clock::now();
    if (!startProgram(path, L"\"" + path + L"\"", false, 0, startup, info_)) {
      throw Failure{"cannot start " + narrow(path) + " (error " + std::to_string(GetLastError()) +
                    ")"};
    }
  }
  ~Program() {
    if (running()) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD pid() const { return info_.dwProcessId; }
  Clock::time_point started() const { return started_; }
  bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

  HWND waitForWindow(const std::string& title) const {
    HWND found = nullptr;
    const std::wstring wide = widen(title);
    waitUntil(kWindowLimit, [&] {
      found = findTopLevel(pid(), wide);
      return found != nullptr || !running();
    });
    if (found == nullptr) throw Failure{"no window titled \"" + title + "\""};
    return found;
  }

  std::size_t peakWorkingSetKb() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(info_.hProcess, &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize / 1024;
  }

  // Closes every window it has, as the user would, and waits for it to end.
  void close(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
      if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(kExitLimit.count() * 1000)) !=
        WAIT_OBJECT_0) {
      throw Failure{"the program did not end within " + std::to_string(kExitLimit.count()) +
                    " s of closing its windows"};
    }
    DWORD status = 0;
    GetExitCodeProcess(info_.hProcess, &status);
    if (status != 0) throw Failure{"the program ended with status " + std::to_string(status)};
  }

 private:
  PROCESS_INFORMATION info_{};
  Clock::time_point started_;
};

// A window may show before all of its controls exist: wait for the one we need.
HWND control(HWND top, const toolkit::WindowLayout& layout, const std::string& name) {
  HWND found = nullptr;
  const int id = controlIdOf(layout, name);
  waitUntil(kWindowLimit, [&] { return (found = findControl(top, id)) != nullptr; });
  if (found == nullptr) throw Failure{"no control " + name};
  return found;
}

std::string read(HWND window, const std::string& what) {
  const auto text = textOf(window);
  if (!text) throw Failure{what + " did not answer"};
  return *text;
}

// A text of the main window on one line, control characters written as \xNN.
std::string field(HWND window, const std::string& what) {
  std::string text = read(window, what);
  std::string oneLine;
  for (const char c : text) oneLine += c == '\n' ? std::string("\\x0A") : std::string(1, c);
  return oneLine;
}

std::string light(HWND box, const std::string& what) {
  const auto checked = isChecked(box);
  if (!checked) throw Failure{what + " did not answer"};
  return std::string(*checked ? "pressed" : "raised") + " \"" + field(box, what) + "\"";
}

class MainWindow {
 public:
  MainWindow(HWND top, const toolkit::WindowLayout& layout) : top_(top), layout_(layout) {}

  HWND top() const { return top_; }
  HWND operator[](const std::string& name) const { return control(top_, layout_, name); }

  // The gathering has ended when the buttons and the light are shown; the
  // last steps of the classification follow in the same handler, so a result
  // counts once two readings agree, from the first of them.
  struct Result {
    std::string summary;
    Clock::time_point seen;
  };
  Result waitForResult() const {
    Result previous;
    Result current;
    std::string unanswered;
    const bool settled = waitUntil(kGatheringLimit, [&] {
      if (!IsWindowVisible((*this)["Ainfo2"]) || !IsWindowVisible((*this)["chkred"])) {
        return false;
      }
      previous = current;
      try {
        current = Result{summary(), Clock::now()};
      } catch (const Failure& busy) {
        // A window that does not answer for a while is read again later: under
        // Wine a management query may wait on the resolver on the program's UI
        // thread, where Windows answers it from the registry.
        current = Result{};
        unanswered = busy.what;
        return false;
      }
      return current.summary == previous.summary;
    });
    if (!settled) {
      const auto shown = [&](const char* name) {
        return std::string(name) + (IsWindowVisible((*this)[name]) ? " shown" : " hidden");
      };
      throw Failure{"the gathering did not end within a minute (" + shown("Ainfo2") + ", " +
                    shown("chkred") + ", progress " +
                    std::to_string(progressPosition((*this)["ProgressBar1"]).value_or(-1)) +
                    (unanswered.empty() ? "" : "; last unanswered: " + unanswered) +
                    "); the window shows:\n" + summary()};
    }
    return previous;
  }

  // The same lines the Linux build prints without a display.
  std::string summary() const {
    std::string out = narrow(readCaption()) + "\n";
    out += "Your Wan Ip Is: " + field((*this)["WAN"], "WAN") + "\n";
    out += "Your Lan Ip Is: " + field((*this)["LAN"], "LAN") + "\n";
    out += "Localhost: " + field((*this)["txtLocal"], "txtLocal") + "\n";
    out += "Online Status: " + field((*this)["txtStatus"], "txtStatus") + "\n";
    // The reason is the status box's description, as a screen reader reads it.
    const auto reason = accessibleDescriptionOf((*this)["chkstatus"]);
    if (!reason) throw Failure{"chkstatus gave no accessible object"};
    out += "Reason: " + *reason + "\n";
    out += "Lights: green " + light((*this)["chkgreen"], "chkgreen") + ", yellow " +
           light((*this)["chkyellow"], "chkyellow") + ", red " +
           light((*this)["chkred"], "chkred") + "\n";
    return out;
  }

 private:
  std::wstring readCaption() const {
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(top_)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(top_, title.data(), title.size())));
    return title;
  }

  HWND top_;
  const toolkit::WindowLayout& layout_;
};

// Clicks a report button and waits for its window and its report.
HWND openReport(const Program& program, HWND button, const std::string& caption) {
  click(button);
  return program.waitForWindow(caption);
}

std::string reportText(HWND window) {
  const toolkit::WindowLayout layout = reportWindowLayout();
  HWND text = control(window, layout, "txtOut");
  // Read again while the window does not answer, as the main window is: under
  // Wine the adapter queries may wait on a resolver behind a lossy line on the
  // program's UI thread, where Windows answers them from the registry.
  std::optional<std::string> answer;
  waitUntil(kGatheringLimit, [&] { return (answer = textOf(text)).has_value(); });
  if (!answer) throw Failure{"txtOut did not answer"};
  const std::string& report = *answer;
  std::string out;
  for (std::size_t i = 0; i < report.size(); ++i) {
    if (report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n') continue;
    out += report[i];
  }
  return out;
}

// Raises a window and lets it paint before its picture is taken.
void picture(HWND window, const std::wstring& directory, const wchar_t* name) {
  SetForegroundWindow(window);
  BringWindowToTop(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(400);
  const std::string error = saveWindowPicture(window, directory + L"\\" + name);
  if (!error.empty()) throw Failure{narrow(name) + ": " + error};
  write(narrow(name) + "\n");
}

enum class Mode { kReport, kBench, kPictures, kAccessibility };

int drive(Mode mode, const std::wstring& programPath, const std::wstring& directory) {
  const toolkit::WindowLayout layout = main_window::Form1Layout(main_window::BuiltInMakerInfo());
  Program program(programPath);
  // Listening from the start: the status is announced when the gathering ends.
  std::optional<AnnouncementListener> announcements;
  if (mode == Mode::kAccessibility) announcements.emplace(program.pid());
  const MainWindow main(program.waitForWindow(main_window::kForm1Caption), layout);
  const auto windowSeen = Clock::now();

  if (mode == Mode::kPictures) {
    HWND bar = main["ProgressBar1"];
    waitUntil(kGatheringLimit, [&] { return progressPosition(bar).value_or(0) >= 50; });
    picture(main.top(), directory, L"gathering.png");
  }
  const auto [result, seen] = main.waitForResult();
  const auto resultMs = std::chrono::duration_cast<milliseconds>(seen - program.started()).count();

  std::vector<HWND> windows;
  if (mode == Mode::kBench) {
    write("result_ms " + std::to_string(resultMs) + "\n");
    write("window_ms " +
          std::to_string(
              std::chrono::duration_cast<milliseconds>(windowSeen - program.started()).count()) +
          "\n");
    write(basics::escapeControlCharacters(result));
  } else if (mode == Mode::kAccessibility) {
    write(basics::escapeControlCharacters(result));
    HWND current = main.top();
    WalkedProgram walked{
        current, [&](HWND top, const std::string& name) { return control(top, layout, name); },
        [&](const std::string& title) -> HWND {
          try {
            return program.waitForWindow(title);
          } catch (const Failure&) {
            return nullptr;
          }
        },
        [&]() -> HWND {
          // The old window goes at once; the new one shows under the same title.
          const std::wstring title = widen(main_window::kForm1Caption);
          waitUntil(kWindowLimit, [&] {
            HWND now = findTopLevel(program.pid(), title);
            return now != nullptr && now != current;
          });
          current = findTopLevel(program.pid(), title);
          MainWindow(current, layout).waitForResult();
          return current;
        }};
    walkAsAScreenReaderUser(walked, *announcements, [](const std::string& line) {
      write(basics::escapeControlCharacters(line) + "\n");
    });
    windows.push_back(current);
    program.close(windows);
    return 0;
  } else if (mode == Mode::kReport) {
    write(basics::escapeControlCharacters(result));
    for (const auto& [button, caption] :
         {std::pair<const char*, const char*>{"Ainfo1", "Adapter Info"},
          {"Ainfo2", "Additional Adapter Info"}}) {
      HWND report = openReport(program, main[button], caption);
      windows.push_back(report);
      write(
          basics::escapeControlCharacters("\n" + std::string(caption) + "\n" + reportText(report)));
    }
  } else {
    picture(main.top(), directory, L"done.png");
    HWND tabs = main["SSTTab0"];
    selectTab(tabs, main_window::kLegendPage);
    picture(main.top(), directory, L"legend.png");
    selectTab(tabs, main_window::kAboutPage);
    picture(main.top(), directory, L"about.png");
    selectTab(tabs, main_window::kWanLanPage);
    HWND first = openReport(program, main["Ainfo1"], "Adapter Info");
    windows.push_back(first);
    picture(first, directory, L"adapter-info.png");
    HWND second = openReport(program, main["Ainfo2"], "Additional Adapter Info");
    windows.push_back(second);
    picture(second, directory, L"additional-adapter-info.png");
  }
  const std::size_t peakKb = program.peakWorkingSetKb();
  windows.push_back(main.top());
  program.close(windows);
  if (mode == Mode::kBench) write("peak_working_set_kb " + std::to_string(peakKb) + "\n");
  return 0;
}

}  // namespace
}  // namespace windows_driver

int main() {
  using namespace windows_driver;
  // Our lines reach a Linux pipe: no "\r\n" translation.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  LocalFree(argv);

  Mode mode = Mode::kReport;
  std::wstring directory;
  if (args.size() >= 3 && args[0] == L"--console") {
    return runWithRedirectedOutput(args[2], std::vector<std::wstring>(args.begin() + 3, args.end()),
                                   args[1]);
  }
  if (args.size() >= 2 && args[0] == L"--no-console") {
    return runWithoutConsole(args[1], std::vector<std::wstring>(args.begin() + 2, args.end()));
  }
  if (!args.empty() && args[0] == L"--bench") {
    mode = Mode::kBench;
    args.erase(args.begin());
  } else if (!args.empty() && args[0] == L"--accessibility") {
    mode = Mode::kAccessibility;
    args.erase(args.begin());
  } else if (args.size() >= 2 && args[0] == L"--pictures") {
    mode = Mode::kPictures;
    directory = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() != 1) {
    std::fputs(
        "usage: tarnwick_windows_driver [--bench | --accessibility | --pictures DIR] PROGRAM.exe\n"
        "       tarnwick_windows_driver --console ERRFILE PROGRAM.exe OPTION...\n"
        "       tarnwick_windows_driver --no-console PROGRAM.exe OPTION...\n",
        stderr);
    return 2;
  }
  try {
    return drive(mode, args[0], directory);
  } catch (const Failure& failure) {
    std::fprintf(stderr, "%s\n", failure.what.c_str());
    return 1;
  }
}
