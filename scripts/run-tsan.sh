#!/usr/bin/env bash
# Builds the threaded tests with ThreadSanitizer and runs them: the controller objects, their
# command road, the device records that the polling thread refills while the GUI reads, and
# the device views that follow them. Every test runs, whatever an earlier one found.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="${PALVIR_TSAN_BUILD_DIR:-$root/build-tsan}"
jobs="${PALVIR_JOBS:-$(nproc)}"
# A test program, or a program and one of its cases (those whose cases each need a process).
tests=(test_controller test_devices test_polling test_discovery test_models test_views test_httpproxy
       test_mainwindow:sleepAndWake test_mainwindow:closeAsksFirst test_mainwindow:connectAndDisconnect
       test_notifier:oldEventsStayQuiet test_cli_event)
targets=()
for t in "${tests[@]}"; do targets+=("${t%%:*}"); done
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALVIR_TSAN=ON
cmake --build "$build" -j "$jobs" --target $(printf '%s\n' "${targets[@]}" | sort -u)
cd "$build"
export QT_QPA_PLATFORM=offscreen
# Qt is not built with the sanitizer: what its own code does with memory and locks is not
# judged (ignore_noninstrumented_modules); everything our code does is. So data that one
# thread hands to another goes through our own locks, never through Qt's event queue alone.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1"
failed=()
for t in "${tests[@]}"; do
  program="${t%%:*}"
  if [ "$program" = "$t" ]; then
    "tests/$program" || failed+=("$t")
  else
    "tests/$program" "${t#*:}" || failed+=("$t")
  fi
done
if ((${#failed[@]})); then
  echo "ThreadSanitizer run: failed: ${failed[*]}" >&2
  exit 1
fi
echo "ThreadSanitizer run: ${#tests[@]} tests passed"
