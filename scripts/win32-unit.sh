#!/usr/bin/env bash
# The importer's own test programs as a 32-bit Windows program runs them, a
# step of win32.sh (runs on its own too):
# - builds them for i686 with GoogleTest from Debian's sources in BUILD
#   (default build-win32-tests/; the posix thread model, which GoogleTest
#   needs), checking on the way that every stdcall function the importer
#   binds and every export the host binds pop the argument bytes their
#   callers push (tools/stdcall);
# - runs each under 32-bit Wine on a virtual display, in a Wine prefix of
#   its own (BUILD/wine-prefix, removed afterwards unless
#   PCB9_KEEP_WINE_PREFIX=1).
# The programs that start children or drive a terminal stay native-only
# (tests/CMakeLists.txt). Ends with one summary line; exit code 0 when all
# ran and passed, 1 on a failure, 2 when 32-bit Windows programs cannot run
# here (the build and the contract check ran).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

build="${1:-$PCB9_ROOT/build-win32-tests}"
wine32=/usr/lib/wine/wine
start=$SECONDS

pcb9_install_packages "${PCB9_WIN32_PACKAGES[@]}"

pcb9_configure "$build" -DCMAKE_TOOLCHAIN_FILE="$PCB9_ROOT/cmake/mingw-i686.cmake" \
  -DPCB9_MINGW_CXX="$(command -v i686-w64-mingw32-g++-posix)" \
  -DCMAKE_BUILD_TYPE=Release -DPCB9_CROSS_TESTS=ON >/dev/null
pcb9_build "$build" pcb9_cross_tests
contract="$(cat "$build/tools/stdcall/stdcall-contract.txt")"
built=$((SECONDS - start))

summary() {
  echo "32-bit checks: stdcall contract of $contract bound functions agrees; $1" \
    "(build ${built}s, run $((SECONDS - start - built))s)"
}

export WINEPREFIX="$build/wine-prefix" WINEARCH=win32 WINEDEBUG=-all
cleanup() {
  [ "${PCB9_KEEP_WINE_PREFIX:-0}" = 1 ] && return
  "$(dirname "$wine32")/wineserver" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
if [ ! -x "$wine32" ] || ! xvfb-run -a "$wine32" wineboot -i >/dev/null 2>&1; then
  summary "32-bit Windows programs cannot run here ($wine32 missing or not starting): 0 test programs ran"
  exit 2
fi
# Windows that no window manager manages: with none on the virtual display,
# Wine otherwise waits for one at every message box (2 s each).
"$wine32" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

status=0 programs=0 tests=0 passed=0 skipped=0 failed_programs=()
for program in "$build"/bin/pcb9_*_tests.exe; do
  name="$(basename "$program" .exe)"
  log="$build/$name.log"
  # A box nobody answers would wait forever.
  if timeout 1200 xvfb-run -a "$wine32" "$program" >"$log" 2>&1; then :; else
    status=1
    failed_programs+=("$name")
  fi
  programs=$((programs + 1))
  ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$log" | tail -1)
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -1)
  skip=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?,.*/\1/p' "$log" | tail -1)
  tests=$((tests + ${ran:-0}))
  passed=$((passed + ${ok:-0}))
  skipped=$((skipped + ${skip:-0}))
  echo "$name: ${ran:-?} tests, ${ok:-0} passed, ${skip:-0} skipped (log: $log)"
done
if [ "$programs" -eq 0 ]; then
  status=1
fi
if [ $status -ne 0 ]; then
  summary "FAILED under 32-bit Wine: ${failed_programs[*]:-no test programs}; $programs programs, $tests tests, $passed passed, $skipped skipped"
else
  summary "$programs test programs under 32-bit Wine, $tests tests, $passed passed, $skipped skipped (Windows-only differences)"
fi
exit $status
