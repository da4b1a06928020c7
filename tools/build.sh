#!/usr/bin/env bash
# Configures and builds everything into build/ (programs in build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
# The machines have two cores: builds from several work trees take turns.
exec 9>/tmp/sondara-build.lock
flock 9
launcher=()
# ccache, where a developer installed it, lets work trees share their objects.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" >/dev/null
# Arguments go to the build, such as --target NAME.
cmake --build build -j "${JOBS:-2}" "$@"
