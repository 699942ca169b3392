#!/usr/bin/env bash
# Installs what is missing, builds the program and the controller simulator, starts the
# simulator in the background (two driver controllers, one of each family, and one network
# controller on UDP 127.0.0.2:7890), then the program against it. When the program ends, so does
# the simulator. Arguments are passed on to the simulator.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="${PALVIR_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "${PALVIR_JOBS:-$(nproc)}" --target palvir zynsim

# A folder this user may write: the library's default when it can be made, else one of ours.
writable_dir() {
  local wanted="$1" fallback="$2"
  if mkdir -p "$wanted" 2>/dev/null && [ -w "$wanted" ]; then
    echo "$wanted"
  else
    mkdir -p "$fallback"
    echo "$fallback"
  fi
}
demo="${TMPDIR:-/tmp}/palvir-demo"
export ZYNMSR_DRIVER_DIR="${ZYNMSR_DRIVER_DIR:-$(writable_dir /run/zynmsr "$demo/zynmsr")}"
export ZYNMSR_LOCK_DIR="${ZYNMSR_LOCK_DIR:-$(writable_dir /run/lock/DUNMO "$demo/lock")}"
# The network rescan asks the simulator only, never the local network.
export PALVIR_DISCOVERY_TARGET="${PALVIR_DISCOVERY_TARGET:-127.0.0.2}"
export PALVIR_DISCOVERY_BIND="${PALVIR_DISCOVERY_BIND:-127.0.0.1}"

mkdir -p "$demo"
banner="$demo/zynsim.out"
: > "$banner"
"$build/sim/zynsim" --udp 127.0.0.2 --driver-dir "$ZYNMSR_DRIVER_DIR" --slots 2 \
  --slot-profile 0:older --slot-profile 1:enclosure "$@" < /dev/null > "$banner" &
sim=$!
stop_sim() {
  if kill -0 "$sim" 2>/dev/null; then
    kill -TERM "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
  fi
}
trap stop_sim EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The simulator prints one line per controller once it serves them all.
for _ in $(seq 100); do
  [ "$(grep -c -E '^(udp|driver) ' "$banner")" -ge 3 ] && break
  kill -0 "$sim" 2>/dev/null || { echo "The simulator did not start." >&2; exit 1; }
  sleep 0.1
done
echo "Simulator:"
sed 's/^/  /' "$banner"
echo "(programs reach the driver services with ZYNMSR_DRIVER_DIR=$ZYNMSR_DRIVER_DIR)"

if [ "$(id -u)" -ne 0 ] && [ -z "${PALVIR_NO_RELAUNCH:-}" ]; then
  # A relaunch through pkexec would drop the folders above; the simulator needs no rights.
  echo "Not the super-user: running the program as $(id -un) (PALVIR_NO_RELAUNCH=1)."
  export PALVIR_NO_RELAUNCH=1
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: the program runs offscreen (stop it with Ctrl-C)."
  export QT_QPA_PLATFORM=offscreen
fi
echo "Starting the program; the simulator stops when it ends."
status=0
"$build/gui/palvir" || status=$?
exit "$status"
