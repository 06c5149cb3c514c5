#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the default word database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$(nproc)" --target lexivane lexivane_word_database
exec build/Lexivane/lexivane/bin/lexivane
