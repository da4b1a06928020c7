#!/usr/bin/env bash
# Configures and builds everything into build/ (programs in build/bin/).
#   BUILD_DIR=DIR        build into DIR instead
#   SONDARA_CMAKE_ARGS   further CMake options, such as -DSONDARA_SANITIZE=ON
# Arguments go to the build, such as --target NAME.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
# The machines have two cores: builds from several work trees take turns.
exec 9>/tmp/sondara-build.lock
flock 9
launcher=()
# ccache, where a developer installed it, lets work trees share their objects.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
read -r -a extra <<<"${SONDARA_CMAKE_ARGS:-}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "${extra[@]}" >/dev/null
cmake --build "$build_dir" -j "${JOBS:-2}" "$@"
