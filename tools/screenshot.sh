#!/usr/bin/env bash
# Makes docs/main-window.png: the main window with the simulator's survey loaded,
# painted offscreen (no display needed). Pass a survey file to show that instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/bin/sondara-screenshot docs/main-window.png "$@"
echo "docs/main-window.png"
