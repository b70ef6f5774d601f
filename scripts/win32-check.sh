#!/usr/bin/env bash
# Static checks of a Windows build of the plug-in, for the build whose code
# our machines cannot run:
#   win32-check.sh DLL i686|x86_64
# - the file is a PE DLL for that machine;
# - it exports exactly RecognisedPCBFile, GetPcbImporterDescription and
#   ImportFileIntoPcb, undecorated;
# - it imports from the system's own DLLs only (the runtimes are linked in);
# - on i686, every return of each export pops its arguments (stdcall):
#   ret $0x4, ret (or a tail jump), ret $0xc.
# Prints the evidence and fails at the first check that does not hold.
set -euo pipefail

dll="$1"
arch="$2"
case "$arch" in
  i686) triple=i686-w64-mingw32; format=pei-i386 ;;
  x86_64) triple=x86_64-w64-mingw32; format=pei-x86-64 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
objdump="$triple-objdump"
nm="$triple-nm"
# The system's own DLLs; anything else would have to ship with the plug-in.
system_dlls='^(kernel32|user32|gdi32|advapi32|comctl32|msvcrt)\.dll$'

fail() { echo "FAIL: $*" >&2; exit 1; }

headers="$("$objdump" -p "$dll")"
grep -q "file format $format" <<<"$headers" || fail "$dll is not $format"
echo "format: $format"

exports="$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^\t\[/ {print $NF; next} on {on=0}' <<<"$headers" | sort)"
expected="$(printf '%s\n' GetPcbImporterDescription ImportFileIntoPcb RecognisedPCBFile)"
echo "exports: $(tr '\n' ' ' <<<"$exports")"
[ "$exports" = "$expected" ] || fail "exports differ from the three plain names"

imports="$(awk '/DLL Name:/ {print $3}' <<<"$headers" | sort -u)"
echo "imports: $(tr '\n' ' ' <<<"$imports")"
[ -n "$imports" ] || fail "no import table"
while read -r name; do
  tr '[:upper:]' '[:lower:]' <<<"$name" | grep -Eq "$system_dlls" || fail "imports $name"
done <<<"$imports"

[ "$arch" = i686 ] || { echo "OK $dll"; exit 0; }

# Each export's code: its symbol (stdcall-decorated) and any cold part the
# compiler split off, each up to the next symbol.
symbols="$("$nm" -n "$dll" | awk '$2 ~ /^[TtWw]$/ {print $1, $3}')"
returns_of() {
  local name="$1" start stop
  while read -r start stop; do
    "$objdump" -d --no-show-raw-insn --start-address="0x$start" --stop-address="0x$stop" "$dll" \
      | { grep -E '^\s*[0-9a-f]+:\s+ret' || true; } | sed -E 's/^\s*[0-9a-f]+:\s+//'
  done < <(awk -v n="$name" '
      prev != "" {print prev, $1; prev = ""}
      $2 == n || $2 == n ".cold" {prev = $1}' <<<"$symbols")
}
for row in "_RecognisedPCBFile@4 ret \$0x4" "_GetPcbImporterDescription@0 ret" \
           "_ImportFileIntoPcb@12 ret \$0xc"; do
  read -r symbol expected_ret <<<"$row"
  rets="$(returns_of "$symbol" | sed -E 's/\s+/ /g; s/ $//' | sort -u)"
  echo "$symbol returns: $(tr '\n' ';' <<<"$rets")"
  # Without arguments stdcall and cdecl agree, so the compiler may end the
  # function with a jump to another one; with arguments it may not.
  if [ -z "$rets" ] && [ "$expected_ret" = ret ]; then continue; fi
  [ -n "$rets" ] || fail "$symbol: no return found"
  [ "$rets" = "$expected_ret" ] || fail "$symbol: expected only '$expected_ret'"
done
echo "OK $dll"
