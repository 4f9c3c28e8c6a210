#!/usr/bin/env bash
# The shipped program carries nothing of the stand-ins: none of their own names (exports that are
# not part of the system's interfaces, shared sections, environment switches, descriptions) is in
# Scribo.exe, as ASCII or as UTF-16. Runs natively on the Windows build's folder.
#   tests/dist/standin_names_test.sh BIN_DIR
set -euo pipefail
exe="$1/Scribo.exe"
[ -f "$exe" ] || { echo "FAIL: $exe not built" >&2; exit 1; }
strings=x86_64-w64-mingw32-strings
command -v "$strings" >/dev/null || strings=strings
names=(
  DdcSim                 # the DDC/CI stand-in: its exports and its shared section
  ScriboDdcSimState
  "Simulated pen display"
  ScriboWintabSim        # the Wintab stand-in's control block
  SCRIBO_WINTAB_         # its environment switches
  standins               # the folder the stand-ins are built into
)
found=0
for encoding in s l; do
  text="$("$strings" -a -n 6 -e "$encoding" "$exe")"
  for name in "${names[@]}"; do
    if grep -qiF -- "$name" <<<"$text"; then
      echo "FAIL: Scribo.exe holds \"$name\" ($([ $encoding = s ] && echo ASCII || echo UTF-16))" >&2
      found=1
    fi
  done
done
[ "$found" = 0 ] || exit 1
echo "standin names: none in Scribo.exe"
