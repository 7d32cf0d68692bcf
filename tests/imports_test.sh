#!/usr/bin/env bash
# Each program imports only DLLs that a freshly installed Windows 10 or 11 has.
# Usage: imports_test.sh PROGRAM.exe...
set -uo pipefail
allowed="ADVAPI32.dll COMCTL32.dll comdlg32.dll d3d9.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll
OLEAUT32.dll SHELL32.dll USER32.dll VERSION.dll windowscodecs.dll UxTheme.dll"
status=0
for exe in "$@"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  [[ -n "$imports" ]] || { echo "FAIL: no import table read from $exe"; status=1; continue; }
  for dll in $imports; do
    if ! grep -qiw -- "$dll" <<<"$allowed"; then
      echo "FAIL: $(basename "$exe") imports $dll, which Windows does not ship"
      status=1
    fi
  done
  echo "$(basename "$exe"): $(tr '\n' ' ' <<<"$imports")"
done
exit $status
