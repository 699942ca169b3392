#!/usr/bin/env bash
# Builds the threaded tests with ThreadSanitizer and runs them: the controller objects, their
# command road, the device records that the polling thread refills while the GUI reads, and
# the device views that follow them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="${PALVIR_TSAN_BUILD_DIR:-$root/build-tsan}"
tests=(test_controller test_devices test_polling test_discovery test_models test_views)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALVIR_TSAN=ON
cmake --build "$build" -j "$(nproc)" --target "${tests[@]}"
cd "$build"
export QT_QPA_PLATFORM=offscreen
# Qt is not built with the sanitizer: what its own code does with memory and locks is not
# judged (ignore_noninstrumented_modules); everything our code does is.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1"
for t in "${tests[@]}"; do
  "tests/$t"
done
