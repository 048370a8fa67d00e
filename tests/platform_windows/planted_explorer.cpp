// Stands in for an explorer.exe planted beside the program: when started, it
// leaves a file in its folder saying so.

#include <windows.h>

int main() {
  wchar_t path[MAX_PATH + 16] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  wchar_t* slash = path + length;
  while (slash > path && *(slash - 1) != L'\\') --slash;
  lstrcpyW(slash, L"planted-explorer-ran");
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return 0;
}
