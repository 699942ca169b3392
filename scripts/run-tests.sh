#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="${PALVIR_TEST_BUILD_DIR:-$root/build-tests}"
jobs="${PALVIR_JOBS:-$(nproc)}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALVIR_SANITIZE=ON
cmake --build "$build" -j "$jobs"
cd "$build"
ctest -j "$jobs" --output-on-failure --timeout 300
