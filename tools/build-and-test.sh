#!/usr/bin/env bash
# Builds the project (normal and, with --sanitize, under AddressSanitizer + UBSan) and runs
# every test through CTest under a virtual X display. Used by the README and by CI.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"

jobs=$(nproc)
run_config() {
  local dir=$1; shift
  cmake -S "$root" -B "$root/$dir" -G Ninja "$@"
  cmake --build "$root/$dir" -j "$jobs"
  # The toolkit needs a display: every test runs under an Xvfb of this run's own, in parallel.
  # A test that fails fails the build: a flaky test is a fault to mend, not one to retry.
  "$root/tools/with-display.sh" \
    ctest --test-dir "$root/$dir" --output-on-failure -j "$jobs" --timeout 600
}

run_config build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${1:-}" = "--sanitize" ] || [ "${CI:-}" = "true" ]; then
  # The sanitized build carries these options and the leak suppressions itself (see
  # CMakeLists.txt); they are also set here for the tools the script runs.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp
  run_config build-asan -DCMAKE_BUILD_TYPE=Debug -DTELLORA_SANITIZE=ON
fi
