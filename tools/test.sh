#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen
# A test that hangs fails after five minutes rather than holding CI.
ctest --test-dir build --output-on-failure --timeout 300 -j "${JOBS:-2}"
