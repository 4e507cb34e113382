#!/usr/bin/env bash
# Runs a Windows test binary with the display of the build's prefix set to another DPI, and puts
# the setting back afterwards. Wine reads LogPixels (HKCU\Control Panel\Desktop, REG_DWORD) when
# each process starts, so the programs started here, and the program they start, see the new DPI
# while the wineserver and the other processes of the session go on as they are.
#
#   at-dpi.sh DPI WINE-EXEC PROGRAM [ARGUMENTS...]
#
# WINE-EXEC is the build's emulator script (build/wine-exec), which always runs in the build's
# own prefix: no other prefix is ever changed.
set -uo pipefail
dpi=$1 wine_exec=$2
shift 2
key='HKCU\Control Panel\Desktop'

# The value before the run ("" when the key has none), as reg.exe prints it: "LogPixels REG_DWORD 0x60".
before=$("$wine_exec" reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')
restore() {
  if [ -n "$before" ]; then
    "$wine_exec" reg add "$key" /v LogPixels /t REG_DWORD /d "$((before))" /f >/dev/null 2>&1
  else
    "$wine_exec" reg delete "$key" /v LogPixels /f >/dev/null 2>&1
  fi
}
trap restore EXIT
trap 'exit 143' TERM INT  # so that the setting is put back when the run is cut short too
"$wine_exec" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || {
  echo "cannot set LogPixels to $dpi" >&2
  exit 1
}
"$wine_exec" "$@"
