#!/usr/bin/env bash
# Builds the project and imports the example board into the reference host:
# prints the summary and writes the board's JSON to build/board.json.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

pcb9_install_packages
pcb9_configure "$PCB9_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
pcb9_build "$PCB9_ROOT/build" pcb9-host pcb9import examples
"$PCB9_ROOT/build/bin/pcb9-host" import "$PCB9_ROOT/build/examples/board.PCB" \
  --json "$PCB9_ROOT/build/board.json"
