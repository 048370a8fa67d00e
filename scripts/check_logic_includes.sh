#!/usr/bin/env bash
# Logic folders (basics/, main_window/, printed_output/, probes/, diagnosis/, reports/, and
# toolkit/ and platform/ outside their backend subfolders) are portable C++: they include
# standard C++ headers (<string>, <cstdint>, ...), headers of the logic folders and the
# header-only JSON writer, and hold no conditional compilation. The include
# roots CMake gives each library already hide backend and unlinked headers from
# the compiler; this catches what they cannot: system headers in the default
# search path (<curl/curl.h>, <linux/if.h>, <windows.h>, <unistd.h>) and
# relative paths into a backend folder ("qt/qt_window.h").
set -euo pipefail
cd "$(dirname "$0")/.."

files=$(
  find toolkit platform -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \)
  find basics main_window printed_output probes diagnosis reports -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \)
)

bad=0
report() {  # file:line:text, reason
  echo "$1: $2" >&2
  bad=1
}
while IFS= read -r hit; do
  include=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*//' <<<"$hit")
  case "$include" in
    \<*\>)
      name=${include#<}; name=${name%%>*}
      [[ $name =~ ^[a-z_0-9]+$ || $name == nlohmann/json.hpp ]] ||
        report "$hit" "not a standard C++ header"
      ;;
    \"*\"*)
      name=${include#\"}; name=${name%%\"*}
      [[ $name =~ ^(basics|toolkit|platform|probes|diagnosis|reports|main_window|printed_output)/[A-Za-z0-9_]+\.h$ ]] ||
        report "$hit" "not a header of a logic folder"
      ;;
    *) report "$hit" "include form not understood" ;;
  esac
done < <(grep -nHE '^[[:space:]]*#[[:space:]]*include' $files || true)

while IFS= read -r hit; do
  report "$hit" "conditional compilation in a logic folder"
done < <(grep -nHE '^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif)([[:space:]]|$)' $files || true)

if [ "$bad" -ne 0 ]; then
  echo "logic folders must stay portable: move system code behind a seam" >&2
  exit 1
fi
echo "logic includes: $(wc -w <<<"$files") files checked"
