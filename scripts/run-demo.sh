#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it against the controller simulator.
# Until the main window exists this builds everything and runs the simulator: one controller on
# UDP 127.0.0.2:7890 and two driver services in the driver registry folder. Stop it with Ctrl-C.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="${PALVIR_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
if [ -z "${ZYNMSR_DRIVER_DIR:-}" ]; then
  # The registry folder the library looks in by default, when this user may create it.
  if mkdir -p /run/zynmsr 2>/dev/null && [ -w /run/zynmsr ]; then
    ZYNMSR_DRIVER_DIR=/run/zynmsr
  else
    ZYNMSR_DRIVER_DIR="${TMPDIR:-/tmp}/palvir-demo/zynmsr"
  fi
fi
export ZYNMSR_DRIVER_DIR
echo "The application's main window is not built yet: starting the controller simulator."
echo "Simulator: UDP 127.0.0.2:7890, driver services in $ZYNMSR_DRIVER_DIR"
echo "(programs reach the driver services with ZYNMSR_DRIVER_DIR=$ZYNMSR_DRIVER_DIR)"
exec "$build/sim/zynsim" --udp 127.0.0.2 --driver-dir "$ZYNMSR_DRIVER_DIR" --slots 2 "$@"
