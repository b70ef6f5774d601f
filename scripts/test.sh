#!/usr/bin/env bash
# Builds the project twice, plainly (build/) and with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/), and runs the whole test suite in
# both; then the Windows builds, their static checks and their tests under
# Wine (scripts/win32.sh); then builds the import fuzzer (build-fuzz/,
# clang) and runs it for a fixed number of executions. Every package any
# step needs is installed first, in one go. Fails when a build, a test, a
# Windows check or the fuzzer fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

pcb9_install_packages "${PCB9_FUZZ_PACKAGES[@]}" "${PCB9_WIN32_PACKAGES[@]}" "${PCB9_TEST_PACKAGES[@]}"
# Tests on, whatever an earlier configuration left in a build folder's cache.
pcb9_configure "$PCB9_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPCB9_TESTS=ON
pcb9_build "$PCB9_ROOT/build"
pcb9_configure "$PCB9_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DPCB9_SANITIZE=ON -DPCB9_TESTS=ON
pcb9_build "$PCB9_ROOT/build-asan"

status=0
echo "== Tests (plain build)"
# A build folder without tests is a failure, not a pass.
ctest --test-dir "$PCB9_ROOT/build" --output-on-failure --no-tests=error -j2 || status=1
echo "== Tests (AddressSanitizer and UndefinedBehaviorSanitizer build)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$PCB9_ROOT/build-asan" --output-on-failure --no-tests=error -j2 || status=1
echo "== Windows builds: static checks and tests under Wine"
"$PCB9_ROOT/scripts/win32.sh" || status=1
echo "== Import fuzzer (${PCB9_FUZZ_RUNS:=5000} executions)"
"$PCB9_ROOT/scripts/fuzz.sh" "$PCB9_FUZZ_RUNS" || status=1
exit $status
