#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: unit, gui and e2e.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$(nproc)"
cd build
export QT_LOGGING_RULES="qt.qpa.*=false"
ctest --output-on-failure -j"$(nproc)"
