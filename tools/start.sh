#!/usr/bin/env bash
# Installs what is missing, builds, and starts Sondara.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
exec build/bin/sondara "$@"
