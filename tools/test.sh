#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: unit, gui and e2e; then
# the same build and tests once more under AddressSanitizer and UndefinedBehaviorSanitizer,
# with leak checking, in a build folder of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
export QT_LOGGING_RULES="qt.qpa.*=false"
for run in "build OFF" "build-sanitize ON"; do
  read -r folder sanitize <<< "$run"
  cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEXIVANE_SANITIZE="$sanitize" > /dev/null
  cmake --build "$folder" -j"$(nproc)"
  (cd "$folder" && ctest --output-on-failure -j"$(nproc)")
done
