#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that not every Windows installation
# has: the C++ runtime and the thread library must be linked in, not shipped.
#   check_windows_imports.sh program.exe...
set -euo pipefail
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|ole32|oleaut32|wininet|iphlpapi|shell32|shlwapi|advapi32|ws2_32|msvcrt|uxtheme|version|winmm|crypt32|secur32|bcrypt|rpcrt4|imm32|dwmapi|gdiplus|oleacc|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for program in "$@"; do
  while read -r dll; do
    if ! grep -Eqi "$allowed" <<<"$dll"; then
      echo "$program imports $dll, which Windows does not bring along" >&2
      status=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
done
exit "$status"
