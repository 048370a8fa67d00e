#!/usr/bin/env bash
# One entry point for building, running and testing Tarnwick.
#   dev.sh run       install what is missing, build the program alone, start it
#   dev.sh test      install what is missing, build, run every test
#   dev.sh sanitize  the same tests built with AddressSanitizer + UBSan
#   dev.sh windows   cross-build for Windows with mingw-w64, run its tests under Wine
#                    (the window tests also at 144 and 192 dpi, and once more themed)
#   dev.sh windows-zip  the Windows download: build/windows/package/tarnwick-1.6-windows-x86_64.zip
#   dev.sh windows-msi  the per-user installer beside it (…-x86_64.msi), installed,
#                       upgraded and removed under Wine (needs root)
#   dev.sh windows-signed  both signed with a throwaway certificate, the signatures
#                       verified (a real certificate: packaging/windows/sign.sh)
#   dev.sh windows-e2e  tarnwick.exe end to end under Wine, driven from outside,
#                       with the classic controls and with Wine's theme
#   dev.sh windows-run  cross-build tarnwick.exe and start it under Wine on this display
# Every step is idempotent and quick when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = run ]; then bash scripts/setup.sh run; else bash scripts/setup.sh; fi

build() {  # preset
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

case "${1:-}" in
  run)
    # The program alone, not the tests and benchmarks the same build holds.
    cmake --preset default >/dev/null
    cmake --build --preset default --target tarnwick
    exec ./build/default/app/tarnwick
    ;;
  test)
    build default
    ctest --preset default
    ;;
  sanitize)
    build sanitize
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --preset sanitize
    ;;
  windows)
    build windows
    ctest --preset windows
    ;;
  windows-e2e)
    build windows
    cmake --preset default >/dev/null
    cmake --build --preset default --target tarnwick_end_to_end_tests
    # A Wine session takes a few seconds of the processor to start: four at
    # once on two cores (eight for the network tables, which mostly wait),
    # where the Linux rows run eight.
    for theme in off on; do
      TARNWICK_WINE_THEME=$theme TARNWICK_WINDOWS_BUILD="$PWD/build/windows" \
        ctest --preset default -j 4 -R WindowsProgramUnderWine
    done
    # The network tables are about what the program says, not how it looks: once.
    TARNWICK_WINDOWS_BUILD="$PWD/build/windows" ctest --preset default -j 8 -R TheWindowsProgram
    ;;
  windows-zip)
    build windows
    (cd build/windows && cpack -C RelWithDebInfo)
    bash packaging/check_windows_zip.sh build/windows/package/tarnwick-1.6-windows-x86_64.zip
    ;;
  windows-msi)
    build windows
    msi=build/windows/package/tarnwick-1.6-windows-x86_64.msi
    bash packaging/windows/make_msi.sh build/windows "$msi"
    bash packaging/check_windows_msi.sh build/windows "$msi" || [ $? -eq 77 ]  # 77: not root
    ;;
  windows-signed)
    build windows
    bash packaging/check_windows_signing.sh build/windows
    ;;
  windows-run)
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target tarnwick
    exec bash scripts/wine-run.sh --prefix build/windows/wineprefix build/windows/app/tarnwick.exe
    ;;
  *)
    echo "usage: $0 run|test|sanitize|windows|windows-e2e|windows-zip|windows-msi|windows-signed|windows-run" >&2
    exit 2
    ;;
esac
