# Sourced by the scripts that run a program in a Wine prefix of its own.

# windows_path FILE: the Windows path of a file on this machine (Wine's Z:
# drive is the root).
windows_path() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }

# wine_prefix_copy TEMPLATE: a linked copy of the Wine prefix TEMPLATE in a
# scratch folder, $wine_scratch (the copy is $wine_scratch/prefix, exported as
# WINEPREFIX), removed on exit with the copy's Wine server. The copy gets a
# Wine server of its own, so copies run side by side.
wine_prefix_copy() {
  wine_scratch=$(mktemp -d /tmp/tarnwick-wine-XXXXXX)
  export WINEPREFIX=$wine_scratch/prefix
  trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$wine_scratch"' EXIT
  cp -al "$1" "$WINEPREFIX"
  # Wine rewrites these in place; the template's must stay as they are.
  for file in "$1"/*.reg; do cp --remove-destination "$file" "$WINEPREFIX/"; done
  rm -f "$WINEPREFIX/wineserver"
}
