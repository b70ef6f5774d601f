#!/usr/bin/env bash
# The Windows builds and their checks, a step of test.sh. Installs
# mingw-w64, 64-bit Wine and Xvfb where missing, then:
# - build-win32/: the i686 plug-in DLL, the product, checked statically
#   (format, exports, imports, stdcall returns: scripts/win32-check.sh);
# - build-win64/: the x86_64 plug-in and reference host from the same
#   sources, checked the same way and run under 64-bit Wine on a virtual
#   display against the native build (tests/wine/run.sh), which it builds in
#   build/ when that is missing.
# The Wine prefix lives in build-win64/wine-prefix for the run and is
# removed afterwards (about 700 MB); PCB9_KEEP_WINE_PREFIX=1 keeps it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

pcb9_install_packages "${PCB9_WIN32_PACKAGES[@]}"

[ -f "$PCB9_ROOT/build/CMakeCache.txt" ] ||
  pcb9_configure "$PCB9_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
pcb9_build "$PCB9_ROOT/build" pcb9-host pcb9import pcb9-asm examples

for arch in i686 x86_64; do
  dir="$PCB9_ROOT/build-win32"
  [ "$arch" = x86_64 ] && dir="$PCB9_ROOT/build-win64"
  pcb9_configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$PCB9_ROOT/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPCB9_TESTS=OFF
done
# The i686 build makes the plug-in only: nothing else of it can run here.
pcb9_build "$PCB9_ROOT/build-win32" pcb9import
pcb9_build "$PCB9_ROOT/build-win64" pcb9-host

status=0
echo "== Static checks of the Windows plug-in DLLs"
"$PCB9_ROOT/scripts/win32-check.sh" "$PCB9_ROOT/build-win32/bin/pcb9import.dll" i686 || status=1
"$PCB9_ROOT/scripts/win32-check.sh" "$PCB9_ROOT/build-win64/bin/pcb9import.dll" x86_64 || status=1

echo "== Tests under 64-bit Wine"
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64="$(command -v wine64 || true)"
[ -n "$wine64" ] || { echo "64-bit Wine not found" >&2; exit 1; }
PCB9_WINE64="$wine64" xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$PCB9_ROOT/tests/wine/run.sh" "$PCB9_ROOT/build" "$PCB9_ROOT/build-win64" || status=1
# The dialog's picture stays as the run's artefact.
echo "Dialog picture: $PCB9_ROOT/build-win64/wine-tests/dialog.bmp"
if [ "${PCB9_KEEP_WINE_PREFIX:-0}" != 1 ]; then
  WINEPREFIX="$PCB9_ROOT/build-win64/wine-prefix" "$(dirname "$wine64")/wineserver" -k 2>/dev/null || true
  rm -rf "$PCB9_ROOT/build-win64/wine-prefix"
fi
exit $status
