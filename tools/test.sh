#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   bash tools/test.sh             build/ with warnings as errors, every test
#   bash tools/test.sh --sanitize  build-asan/ with AddressSanitizer and
#                                  UndefinedBehaviorSanitizer, every test
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
if [ "${1:-}" = "--sanitize" ]; then
  export BUILD_DIR=build-asan
  export SONDARA_CMAKE_ARGS="-DSONDARA_WERROR=ON -DSONDARA_SANITIZE=ON -DSONDARA_BUILD_BENCH=OFF"
  # Qt and fontconfig keep caches for the life of the process: leaks are not ours to
  # chase; every other finding stops the test that made it.
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  export BUILD_DIR=build
  export SONDARA_CMAKE_ARGS="-DSONDARA_WERROR=ON"
fi
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen
# A test that hangs fails after five minutes rather than holding CI.
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 -j "${JOBS:-2}"
