#!/usr/bin/env bash
# The console program links the engines alone: none of the calls that make a window, a dialog or a
# message box may be among its imports.
# Usage: console-imports.sh <objdump> <VSysScan.exe>
set -euo pipefail
found=$("$1" -p "$2" | grep -oE '\b(CreateWindowEx[AW]|CreateDialog[A-Za-z]*|DialogBox[A-Za-z]*|MessageBox[A-Za-z]*|RegisterClass[A-Za-z]*)\b' | sort -u || true)
if [ -n "$found" ]; then
  echo "$(basename "$2") imports window calls:" $found >&2
  exit 1
fi
echo "$(basename "$2") imports no window calls"
