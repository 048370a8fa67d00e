#include "console_streams.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "toolkit/win32/win32_text.h"

namespace app_windows {
namespace {

bool usable(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  SetLastError(NO_ERROR);
  return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

}  // namespace

ConsoleStreams::ConsoleStreams()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)), err_(GetStdHandle(STD_ERROR_HANDLE)) {
  if (usable(out_) && usable(err_)) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return;
  // The C runtime's streams too: the toolkit prints error boxes to stderr.
  if (!usable(out_)) {
    out_ = console;
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    (void)std::freopen("CONOUT$", "w", stdout);
  }
  if (!usable(err_)) {
    err_ = console;
    SetStdHandle(STD_ERROR_HANDLE, console);
    (void)std::freopen("CONOUT$", "w", stderr);
  }
}

bool ConsoleStreams::errorsReachSomeone() const {
  return usable(err_);
}

void ConsoleStreams::write(HANDLE handle, std::string_view text) {
  if (!usable(handle) || text.empty()) return;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = toolkit::win32::widen(text);
    // In pieces: older consoles refuse one large write.
    constexpr std::size_t kPiece = 8192;
    for (std::size_t at = 0; at < wide.size(); at += kPiece) {
      const auto size = static_cast<DWORD>(std::min(kPiece, wide.size() - at));
      DWORD written = 0;
      if (!WriteConsoleW(handle, wide.data() + at, size, &written, nullptr)) return;
    }
    return;
  }
  while (!text.empty()) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1 << 20));
    if (!WriteFile(handle, text.data(), size, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

}  // namespace app_windows
