#!/usr/bin/env bash
# Builds the import fuzzer (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs it.
#
#   ./scripts/fuzz.sh [RUNS] [LIBFUZZER OPTIONS...]
#
# RUNS is a fixed number of executions (default 5000, what the test command
# runs); -1 fuzzes until stopped. The corpus grows in build-fuzz/corpus,
# seeded with the example boards; crashes, leaks and hangs are written to
# build-fuzz/findings/. Fails when the fuzzer finds anything.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

runs="${1:-5000}"
[ $# -gt 0 ] && shift
pcb9_install_packages "${PCB9_FUZZ_PACKAGES[@]}"
pcb9_configure "$PCB9_ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DPCB9_FUZZ=ON -DPCB9_TESTS=OFF
pcb9_build "$PCB9_ROOT/build-fuzz" pcb9_import_fuzzer

corpus="$PCB9_ROOT/build-fuzz/corpus"
findings="$PCB9_ROOT/build-fuzz/findings"
mkdir -p "$corpus" "$findings"
cp "$PCB9_ROOT"/build-fuzz/examples/*.PCB "$corpus/"
cd "$PCB9_ROOT/build-fuzz"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ./bin/pcb9_import_fuzzer -runs="$runs" -seed=1 -max_len=8192 -timeout=20 -rss_limit_mb=3072 \
  -dict="$PCB9_ROOT/fuzz/pcb9.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
  "$@" "$corpus"
