#!/usr/bin/env bash
# One Wine session on a virtual X display: the Windows test driver starts
# tarnwick.exe, drives it, and what the driver prints is passed on.
#
#   wine_session.sh [--bench | --accessibility | --pictures DIR | --console OPTION... |
#                    --no-console OPTION...]
#
# With --console the driver starts tarnwick.exe with the options and its output
# redirected, as a script would: what the program printed goes to standard
# output, its standard error to ours, and the exit status is the program's
# (125 when the driver failed). With --no-console the driver starts it as
# Explorer does, with no console and no standard handles, and prints the
# message box it shows.
#
# Environment:
#   TARNWICK_WINE_PROGRAM  tarnwick.exe
#   TARNWICK_WINE_DRIVER   the driver (tarnwick_windows_driver.exe)
#   TARNWICK_WINE_PREFIX   a Wine prefix kept as a template (made here on first use)
#   TARNWICK_WINE_SECONDS  the session's time limit (default 90)
#   TARNWICK_WINE_THEME    on: Wine's own theme, as a fresh prefix has it
#                          (default off: the classic controls)
#   TARNWICK_WINE_DPI      the display scale the user set (default 96)
#   TARNWICK_WINE_COLOURS  high-contrast: the user's scheme is the dark
#                          high-contrast one, high contrast turned on (default:
#                          the prefix's standard colours)
#   TARNWICK_WINE_PLANTED_DLL  a stand-in DLL (tests/windows_driver/planted_dll.cpp):
#                          the program runs from a folder holding it under the name
#                          of each DLL the program delay-loads, Wine preferring
#                          such DLLs to its own as Windows does; the session fails
#                          if the program loads one of them
#   TARNWICK_WINE_PLANTING_CONTROL  with it, a program importing those DLLs
#                          statically, which must load them all from that folder
#
# Each session runs in a linked copy of the template, so it gets a Wine server
# of its own: the network services Wine starts would otherwise belong to
# whichever namespace started the first session. Wine's own messages go to a
# log that is shown on standard error only when the driver fails.
set -euo pipefail

program=$(realpath "${TARNWICK_WINE_PROGRAM:?names tarnwick.exe}")
driver=$(realpath "${TARNWICK_WINE_DRIVER:?names the driver}")
template=$(realpath -m "${TARNWICK_WINE_PREFIX:?names the Wine prefix}")
seconds=${TARNWICK_WINE_SECONDS:-90}

export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer: nothing here needs .NET or the HTML engine.
export WINEDLLOVERRIDES="mscoree,mshtml="

source "$(dirname "$(realpath "$0")")/../../scripts/wine_copy.sh"  # windows_path, wine_prefix_copy

# Classic (unthemed) controls, so the progress bar takes the colours it is
# sent, a virtual desktop, so Wine draws the window frames itself, and Wine's
# own fonts where Windows keeps its fonts.
prepare_template() {
  [[ -f $template/.tarnwick-e2e-ready ]] && return
  mkdir -p "$(dirname "$template")"
  (
    flock -w 300 9
    if [[ ! -f $template/.tarnwick-e2e-ready ]]; then
      rm -rf "$template"
      local settings
      settings=$(mktemp /tmp/tarnwick-wine-settings-XXXXXX.reg)
      printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager]' \
        '"ThemeActive"="0"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' '' >"$settings"
      WINEPREFIX=$template wineboot --init >/dev/null 2>&1
      WINEPREFIX=$template wine regedit /S "$(windows_path "$settings")" >/dev/null 2>&1
      WINEPREFIX=$template wineserver --wait
      # Debian's Wine does not find the fonts it ships (Tahoma, and Marlett for
      # the frame buttons); on Windows they sit in the Fonts folder.
      ln -sf /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/"
      rm -f "$settings" "$template/wineserver"
      touch "$template/.tarnwick-e2e-ready"
    fi
  ) 9>"$template.lock"
}

pictures=
args=()
options=()
console=0
case "${1:-}" in
  --bench) args=(--bench) ;;
  --accessibility) args=(--accessibility) ;;
  --pictures) pictures=$(realpath -m "${2:?--pictures needs a directory}"); mkdir -p "$pictures"
    args=(--pictures "$(windows_path "$pictures")") ;;
  --console) console=1; shift; options=("$@") ;;
  --no-console) args=(--no-console); shift; options=("$@") ;;
  "") ;;
  *) echo "usage: $0 [--bench | --accessibility | --pictures DIR | --console OPTION... |" \
      "--no-console OPTION...]" >&2
    exit 2 ;;
esac

prepare_template
wine_prefix_copy "$template"
work=$wine_scratch
# The session's own copy of the user's settings: theme and display scale.
if [[ ${TARNWICK_WINE_THEME:-off} == on ]]; then
  sed -i 's/^"ThemeActive"="0"/"ThemeActive"="1"/' "$WINEPREFIX/user.reg"
fi
dpi=${TARNWICK_WINE_DPI:-96}
[[ $dpi =~ ^[0-9]+$ ]] || { echo "TARNWICK_WINE_DPI must be a number" >&2; exit 2; }
# The desktop grows with the scale, so the windows keep their room.
screen="$((1024 * dpi / 96))x$((768 * dpi / 96))"
if [[ $dpi != 96 ]]; then
  sed -i -e '/^"LogPixels"=/d' -e "/^\[Control Panel\\\\\\\\Desktop\]/a \"LogPixels\"=dword:$(printf '%08x' "$dpi")" \
    -e "s/^\"Default\"=\"1024x768\"/\"Default\"=\"$screen\"/" "$WINEPREFIX/user.reg"
fi

# The colours of the dark high-contrast scheme as the Control Panel sets them,
# and high contrast turned on. Windows reads the flag (SPI_GETHIGHCONTRAST);
# Wine 8 reports high contrast off whatever it says, so there the program
# meets the colours alone.
if [[ ${TARNWICK_WINE_COLOURS:-standard} == high-contrast ]]; then
  scheme=$work/high-contrast.reg
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Control Panel\Colors]' \
    '"Window"="0 0 0"' '"WindowText"="255 255 255"' '"Menu"="0 0 0"' '"MenuText"="255 255 255"' \
    '"ButtonFace"="0 0 0"' '"ButtonText"="255 255 255"' '"ButtonHilight"="255 255 255"' \
    '"ButtonShadow"="128 128 128"' '"GrayText"="63 242 63"' '"Hilight"="26 235 255"' \
    '"HilightText"="0 0 0"' '"InfoWindow"="0 0 0"' '"InfoText"="255 255 255"' \
    '"WindowFrame"="255 255 255"' '' \
    '[HKEY_CURRENT_USER\Control Panel\Accessibility\HighContrast]' \
    '"Flags"="127"' '"High Contrast Scheme"="High Contrast Black"' '' >"$scheme"
  wine regedit /S "$(windows_path "$scheme")" >/dev/null 2>&1
  wineserver --wait
fi

# DLLs planted beside the program: the names of those it loads on first use.
planted_names=(comctl32 gdiplus iphlpapi oleacc uxtheme wininet)
planted=
if [[ -n ${TARNWICK_WINE_PLANTED_DLL:-} ]]; then
  planted=$work/planted
  mkdir "$planted"
  cp "$program" "$planted/"
  program=$planted/$(basename "$program")
  for name in "${planted_names[@]}"; do cp "$TARNWICK_WINE_PLANTED_DLL" "$planted/$name.dll"; done
  cp "${TARNWICK_WINE_PLANTING_CONTROL:?names the planting control program}" "$planted/control.exe"
  WINEDLLOVERRIDES+=";$(IFS=,; echo "${planted_names[*]}")=n,b"
  export WINEDEBUG=-all,+pid,+loaddll
  timeout -k 5 60 wine "$planted/control.exe" >/dev/null 2>&1 || true
  # The control ran without a display: the program's run needs a Wine server
  # (and a desktop) started afresh on the virtual one.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  for name in "${planted_names[@]}"; do
    if ! find "$planted" -maxdepth 1 -iname "$name.dll.loaded" | grep -q .; then
      echo "a program importing $name.dll did not load the one beside it: this Wine does" \
        "not look in a program's folder first, so the planting check would prove nothing" >&2
      exit 1
    fi
  done
  find "$planted" -maxdepth 1 -iname '*.loaded' -delete
fi

[[ $console -eq 1 ]] && args=(--console "$(windows_path "$work/err")")
status=0
timeout -k 5 "$seconds" xvfb-run -a -s "-screen 0 ${screen}x24 -dpi $dpi" \
  wine "$driver" "${args[@]}" "$(windows_path "$program")" "${options[@]}" >"$work/out" \
  2>"$work/wine.log" || status=$?
if [[ -n $planted && $status -eq 0 ]]; then
  # "<process> <path>" per DLL loaded; Wine writes each backslash twice.
  loads=$(sed -n 's/^\([0-9a-f]*\):[0-9a-f]*:trace:loaddll:.*Loaded L"\([^"]*\)".*/\1 \2/p' \
    "$work/wine.log" | sed 's/\\\\/\//g')
  pid=$(grep -i '/planted/tarnwick\.exe$' <<<"$loads" | head -1 | cut -d' ' -f1)
  loaded=$(grep "^$pid " <<<"$loads" | cut -d' ' -f2-)
  markers=$(find "$planted" -maxdepth 1 -iname '*.loaded' -printf '%f ')
  from_folder=$(grep -i '/planted/' <<<"$loaded" | grep -vi '/tarnwick\.exe$' || true)
  if [[ -z $pid || -n $markers || -n $from_folder ]]; then
    echo "tarnwick.exe loaded a DLL planted beside it: $markers $from_folder" >&2
    status=1
  fi
  # Those every run uses must have been loaded, and from Windows' own folders.
  for name in "${planted_names[@]}"; do
    if ! grep -qi "^C:/windows/.*/$name\.dll$" <<<"$loaded"; then
      echo "tarnwick.exe never loaded $name.dll from C:\\windows: the run proved nothing for it" >&2
      status=1
    fi
  done
fi
cat "$work/out"
if [[ $console -eq 1 && $status -ne 124 && $status -ne 125 ]]; then
  cat "$work/err" >&2
elif [[ $status -ne 0 ]]; then
  [[ $status -eq 124 ]] && echo "the Wine session was stopped after $seconds s" >&2
  cat "$work/wine.log" >&2
fi
exit "$status"
