#!/bin/bash
# Every shipped executable and DLL imports only DLLs that Windows itself provides.
set -u
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|ole32|oleaut32|shlwapi|msvcrt|ntdll|version|uuid|ws2_32|riched20|winmm|bcrypt|crypt32|secur32|imm32|uxtheme)\.dll$'
status=0
checked=0
for tree in "$@"; do
  [ -n "$tree" ] && [ -d "$tree/bin" ] || continue
  for file in "$tree"/bin/*.exe "$tree"/bin/*.dll; do
    [ -f "$file" ] || continue
    case "$(basename "$file")" in ffmpeg.exe) continue ;; esac  # prebuilt, not ours
    checked=$((checked + 1))
    while read -r dll; do
      if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -qE "$allowed"; then
        echo "$file imports $dll"
        status=1
      fi
    done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
  done
done
[ "$checked" -gt 0 ] || { echo "no executables found"; exit 1; }
echo "$checked files checked"
exit $status
