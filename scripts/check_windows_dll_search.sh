#!/usr/bin/env bash
# Fails unless a Windows program keeps DLLs planted beside it out: its load
# configuration asks Windows (10 1607 and later) to resolve static imports in
# System32 alone (DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32), and the
# DLLs that are not KnownDLLs are not static imports at all (the program
# delay-loads them from System32 itself).
#   check_windows_dll_search.sh program.exe...
set -euo pipefail
objdump=x86_64-w64-mingw32-objdump
delay_loaded='^(comctl32|gdiplus|iphlpapi|oleacc|uxtheme|wininet)\.dll$'
status=0
for program in "$@"; do
  headers=$("$objdump" -p "$program")
  base=$(sed -n 's/^ImageBase\s\+\([0-9a-fA-F]\+\)$/\1/p' <<<"$headers")
  read -r rva size < <(sed -n 's/^Entry a \([0-9a-fA-F]\+\) \([0-9a-fA-F]\+\) Load Configuration Directory$/\1 \2/p' <<<"$headers")
  flags=
  if [[ -n $base && -n ${rva:-} ]] && ((0x$rva != 0 && 0x$size >= 0x50)); then
    # DependentLoadFlags: the 16-bit word at offset 0x4E of the 64-bit structure.
    at=$((0x$base + 0x$rva + 0x4E))
    word=$("$objdump" -s --start-address=$at --stop-address=$((at + 2)) "$program" |
      sed -n 's/^ [0-9a-f]\+ \([0-9a-f]\{4\}\) .*/\1/p')
    [[ -n $word ]] && flags=$((0x${word:2:2}${word:0:2}))
  fi
  if [[ $flags != $((0x800)) ]]; then
    echo "$program: its load configuration does not limit static imports to System32" \
      "(DependentLoadFlags ${flags:-missing})" >&2
    status=1
  fi
  while read -r dll; do
    if grep -Eqi "$delay_loaded" <<<"$dll"; then
      echo "$program imports $dll at start, so a $dll beside it would be loaded" >&2
      status=1
    fi
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
done
[[ $status -eq 0 ]] && echo "dll search check passed: $*"
exit "$status"
