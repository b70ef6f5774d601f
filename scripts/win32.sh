#!/usr/bin/env bash
# The Windows builds and their checks, a step of test.sh. Installs
# mingw-w64, 64-bit and 32-bit Wine and Xvfb where missing, then builds the
# whole Windows side twice from the same sources, side by side:
# - build-win32/: i686, the product's platform: the plug-in DLL, Morvik.dll
#   and pcb9-host.exe;
# - build-win64/: the same for x86_64.
# Each plug-in is checked statically (format, exports, imports, stdcall
# returns: scripts/win32-check.sh); then each build runs under Wine of its
# own width on a virtual display against the native build
# (tests/wine/run.sh), which it builds in build/ when that is missing, and
# the 32-bit test programs run (scripts/win32-unit.sh, where present).
# Where this machine cannot run 32-bit code, the summary says so and counts
# the 32-bit checks that did not run; the script then fails, unless
# PCB9_WIN32_WITHOUT_32BIT=1 accepts that.
# The Wine prefixes live in build-win32/wine-prefix and build-win64/wine-prefix
# for the run and are removed afterwards (about 700 MB each);
# PCB9_KEEP_WINE_PREFIX=1 keeps them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

pcb9_install_packages "${PCB9_WIN32_PACKAGES[@]}"

[ -f "$PCB9_ROOT/build/CMakeCache.txt" ] ||
  pcb9_configure "$PCB9_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
pcb9_build "$PCB9_ROOT/build" pcb9-host pcb9import pcb9-asm examples

builds=("i686 $PCB9_ROOT/build-win32" "x86_64 $PCB9_ROOT/build-win64")
for row in "${builds[@]}"; do
  read -r arch dir <<<"$row"
  pcb9_configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$PCB9_ROOT/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPCB9_TESTS=OFF >/dev/null
done
# Both builds at once, each its own log (the host needs the plug-in and
# Morvik.dll, so it builds all three).
echo "== Building the Windows side (i686 and x86_64)"
pids=()
for row in "${builds[@]}"; do
  read -r arch dir <<<"$row"
  pcb9_build "$dir" pcb9-host >"$dir/build.log" 2>&1 &
  pids+=($!)
done
status=0
summary=()
for i in "${!builds[@]}"; do
  read -r arch dir <<<"${builds[$i]}"
  if wait "${pids[$i]}"; then
    summary+=("$arch build: plug-in, Morvik.dll and pcb9-host.exe built")
  else
    cat "$dir/build.log"
    summary+=("$arch build: FAILED ($dir/build.log)")
    status=1
  fi
done
[ "$status" = 0 ] || { printf '%s\n' "${summary[@]}"; exit 1; }

echo "== Static checks of the Windows plug-in DLLs"
for row in "${builds[@]}"; do
  read -r arch dir <<<"$row"
  if "$PCB9_ROOT/scripts/win32-check.sh" "$dir/bin/pcb9import.dll" "$arch"; then
    summary+=("$arch static checks: passed")
  else
    summary+=("$arch static checks: FAILED")
    status=1
  fi
done

# 32-bit Windows code runs where the 32-bit Wine loader (an i386 program)
# starts: a kernel without 32-bit emulation refuses it. (PCB9_WINE32 names
# another loader, e.g. a file the kernel refuses, to try that case.)
wine32="${PCB9_WINE32:-/usr/lib/wine/wine}"
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64="$(command -v wine64 || true)"
[ -n "$wine64" ] || { echo "64-bit Wine not found" >&2; exit 1; }
why_no_32bit=""
if [ ! -x "$wine32" ]; then
  why_no_32bit="no 32-bit Wine ($wine32; Debian's wine32:i386)"
elif ! version="$("$wine32" --version 2>&1)"; then
  why_no_32bit="this machine cannot run 32-bit programs ($wine32: $version)"
fi

# wine_suite BUILD LOADER DISPLAY [WINEARCH]: the Wine suite of one build,
# its output in BUILD/wine-tests.log, on a virtual display of its own (the
# first free number from DISPLAY on).
wine_suite() {
  local dir="$1" loader="$2" display="$3" winearch="${4:-}"
  env ${winearch:+WINEARCH="$winearch"} PCB9_WINE="$loader" \
    xvfb-run -a -n "$display" -s "-screen 0 1280x1024x24" \
    "$PCB9_ROOT/tests/wine/run.sh" "$PCB9_ROOT/build" "$dir" >"$dir/wine-tests.log" 2>&1
}

# wine_suite_done ARCH BUILD LOADER PID: prints the suite's output, adds its
# lines to the summary, removes its prefix and sets `checks_ran`.
wine_suite_done() {
  local arch="$1" dir="$2" loader="$3" pid="$4" rc=0
  wait "$pid" || rc=1
  echo "== Tests under $arch Wine"
  cat "$dir/wine-tests.log"
  local counted
  counted="$(sed -n 's/^Wine tests: \([0-9]*\) checks, \(.*\)$/\1 checks, \2/p' \
    "$dir/wine-tests.log")"
  checks_ran="${counted%% *}"
  [ "$rc" = 0 ] || status=1
  summary+=("$arch Wine suite: ${counted:-did not finish}$([ "$rc" = 0 ] || echo ' (FAILED)')")
  summary+=("$arch dialog picture: $dir/wine-tests/dialog.bmp")
  if [ "${PCB9_KEEP_WINE_PREFIX:-0}" != 1 ]; then
    WINEPREFIX="$dir/wine-prefix" "$(dirname "$loader")/wineserver" -k 2>/dev/null || true
    rm -rf "$dir/wine-prefix"
  fi
}

# The two suites at once: each waits on Wine most of its time.
echo "== Tests under Wine (64-bit$([ -n "$why_no_32bit" ] || echo ' and 32-bit'))"
wine_suite "$PCB9_ROOT/build-win64" "$wine64" 164 &
pid64=$!
if [ -z "$why_no_32bit" ]; then
  wine_suite "$PCB9_ROOT/build-win32" "$wine32" 132 win32 &
  pid32=$!
fi
checks_ran=0
wine_suite_done "64-bit" "$PCB9_ROOT/build-win64" "$wine64" "$pid64"
if [ -z "$why_no_32bit" ]; then
  wine_suite_done "32-bit" "$PCB9_ROOT/build-win32" "$wine32" "$pid32"
  ran_32bit="${checks_ran:-0} Wine checks"
  if [ -x "$PCB9_ROOT/scripts/win32-unit.sh" ]; then
    echo "== 32-bit test programs under Wine"
    if "$PCB9_ROOT/scripts/win32-unit.sh"; then
      summary+=("32-bit test programs: passed")
    else
      summary+=("32-bit test programs: FAILED")
      status=1
    fi
    ran_32bit+=" and the 32-bit test programs"
  fi
  summary+=("32-bit checks that ran: $ran_32bit (all of them)")
else
  summary+=("32-bit checks that ran: none: $why_no_32bit")
  [ "${PCB9_WIN32_WITHOUT_32BIT:-0}" = 1 ] || status=1
fi

echo "== Windows builds: summary"
printf '%s\n' "${summary[@]}"
exit $status
