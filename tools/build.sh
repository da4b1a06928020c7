#!/usr/bin/env bash
# Configures and builds everything into build/ (programs in build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
# The machines have two cores: builds from several work trees take turns.
exec 9>/tmp/sondara-build.lock
flock 9
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build build -j "${JOBS:-2}"
